#pragma once
// Contacts of one convex body with a static polygon soup: the soup's faces
// near the shape are loaded one at a time into the soup's face buffer,
// which the convex solver (or the sphere's closed form) meets like any
// other convex shape; contacts beyond the face's flagged edges are dropped
// and a full contact array is thinned by merging. None writes more than
// maxContacts records, and none allocates in the usual case.

#include "physics/body/dgContact.h"

class dgBody;
class dgWorld;

// A sphere against the soup (soup body first); userId is the face attribute.
int dgCalculateSphereSoupContacts(dgWorld* world, dgBody* soupBody, dgBody* sphereBody, dgContact* contacts,
                                  int maxContacts);
// Any convex shape against the soup (soup body first).
int dgCalculateConvexSoupContacts(dgWorld* world, dgBody* soupBody, dgBody* convexBody, dgContact* contacts,
                                  int maxContacts);
// A convex shape moving fast for its size takes the contacts of its first
// touch over timeStep along the swept path; a slow one those of
// dgCalculateConvexSoupContacts (convex body first).
int dgCalculateContinuousSoupContacts(dgWorld* world, float timeStep, dgBody* convexBody, dgBody* soupBody,
                                      dgContact* contacts, int maxContacts);
// The sphere routine for a sphere, the convex routine otherwise (convex body first).
int dgCalculateSoupContactsDiscrete(dgWorld* world, dgBody* convexBody, dgBody* soupBody, dgContact* contacts,
                                    int maxContacts);
