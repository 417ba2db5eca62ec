#pragma once
// The two entry points through which the world asks for the contacts of
// two bodies, and the closed-form contacts that need no iterative solver.
// Every routine writes at most maxContacts records (at most 16 between two
// convex shapes) and none for a room of 0.

#include "physics/body/dgContact.h"

class dgBody;
class dgWorld;

// Contacts of two convex bodies, chosen by their shape kinds (continuous
// when either has the continuous flag), with both bodies and collisions
// stamped into every record.
int dgCalculateConvexContacts(float timeStep, dgBody* body0, dgBody* body1, dgContact* contacts, int maxContacts);
// Contacts of a convex body 0 with the polygon soup of body 1, stamped the same way.
int dgCalculateSoupContacts(dgWorld* world, float timeStep, dgBody* body0, dgBody* body1, dgContact* contacts,
                            int maxContacts);

// Contacts by the convex-convex solver (at most 16).
int dgCalculateGeneralConvexContacts(dgBody* body0, dgBody* body1, dgContact* contacts, int maxContacts = 16);
// One contact of two spheres when they overlap by at least 1/256; 0 otherwise.
int dgCalculateSphereSphereContact(dgBody* body0, dgBody* body1, dgContact* contacts, int maxContacts = 1);
// One contact of a box (body 0) and a sphere (body 1) whose centre lies
// outside the box, by the nearest point of the box; a centre inside goes
// to the solver.
int dgCalculateBoxSphereContact(dgBody* boxBody, dgBody* sphereBody, dgContact* contacts, int maxContacts = 16);
