#pragma once
// Thinning of contact arrays: pruning removes contacts that duplicate
// another, reduction brings an array down to a wanted count by removing
// contacts that lie near one that is kept.

#include "physics/body/dgContact.h"

// Removes contacts within 0.005 of one kept before them (pairwise up to 8
// contacts, a sweep above that after reducing to maxCount); returns the new count.
int dgPruneContacts(int count, dgContact* contacts, int maxCount);

// Removes count - maxCount contacts (maxCount at least 1), each lying near a
// kept one: passes with distance, doubling it until enough fall within it.
// Contacts that no distance brings together (non-finite points) are cut
// from the end after a bounded number of doublings. The kept contacts stay
// in their order; returns the new count. outFinalDistance, when given,
// receives the distance of the last pass.
int dgReduceContacts(int count, dgContact* contacts, int maxCount, float distance, float* outFinalDistance = nullptr);
