// Where the world's collide services meet the contact routines.

#include "physics/world/dgWorld.h"

int dgWorld::ConvexContacts(dgBody& body0, dgBody& body1, dgContact* contacts) {
  (void)body0;
  (void)body1;
  (void)contacts;
  return 0;
}

int dgWorld::ClosestPointsOfBodies(dgBody& body0, dgBody& body1, dgVector& outPoint0, dgVector& outPoint1,
                                   dgVector& outNormal) {
  (void)body0;
  (void)body1;
  (void)outPoint0;
  (void)outPoint1;
  (void)outNormal;
  return 0;
}
