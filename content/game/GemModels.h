#pragma once
// The five gem shapes the renderer draws, by shape index: tetra, chamfered
// cube, orb, octagonal cut stone and the Novalith star. Each fits a sphere of
// radius 0.5 about its centre; the star's front faces +z.

#include "content/kit/DataFolder.h"
#include "content/kit/ModelMesh.h"

ModelMesh Tetrahedron();
ModelMesh ChamferedCube();
ModelMesh Orb();
ModelMesh OctagonalStone();
ModelMesh FivePointedStar();

void WriteGemModels(DataFolder& folder);
