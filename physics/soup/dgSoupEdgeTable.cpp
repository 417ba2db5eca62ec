#include "physics/soup/dgSoupEdgeTable.h"

#include <cstring>

#include "physics/memory/dgMemory.h"

dgSoupEdgeTable::dgSoupEdgeTable(dgAABBPolygonSoup& soup)
    : mIndices(soup.GetIndices()), mVertexCount(soup.GetVertexCount()) {
  const int nodeCount = soup.GetNodeCount();
  const dgAABBPolygonSoup::Node* nodes = soup.GetNodes();
  if (!nodes || nodeCount < 1) return;
  // A built tree over n faces has n - 1 nodes and every face is one leaf link.
  const int faceCount = nodeCount + 1;
  auto* faces = static_cast<Face*>(dgMalloc(sizeof(Face) * static_cast<size_t>(faceCount)));
  mFirstEdge = static_cast<int*>(dgMalloc(sizeof(int) * (static_cast<size_t>(mVertexCount) + 2)));
  mVisitedBy = static_cast<int*>(dgMalloc(sizeof(int) * static_cast<size_t>(faceCount)));
  if (!faces || !mFirstEdge || !mVisitedBy) {
    dgFree(faces);
    return;
  }
  // The faces in the order their runs lie in the index array, where a
  // face's neighbours mostly lie close by: marking then walks the table's
  // memory far more in order than the tree's leaf order would.
  const int indexCount = soup.GetIndexCount();
  auto* countAt = static_cast<unsigned char*>(dgMalloc(static_cast<size_t>(indexCount > 0 ? indexCount : 1)));
  if (!countAt) {
    dgFree(faces);
    return;
  }
  std::memset(countAt, 0, static_cast<size_t>(indexCount > 0 ? indexCount : 1));
  for (int n = 0; n < nodeCount; ++n) {
    for (const uint32_t link : {nodes[n].left, nodes[n].right}) {
      if (!dgAABBPolygonSoup::IsLeaf(link)) continue;
      const int position = dgAABBPolygonSoup::LeafPosition(link);
      if (position < indexCount) countAt[position] = static_cast<unsigned char>(dgAABBPolygonSoup::LeafIndexCount(link));
    }
  }
  int faceTotal = 0;
  long long edgeTotal = 0;
  std::memset(mFirstEdge, 0, sizeof(int) * (static_cast<size_t>(mVertexCount) + 2));
  for (int position = 0; position < indexCount && faceTotal < faceCount; ++position) {
    if (countAt[position] == 0) continue;
    const Face face{position, countAt[position]};
    faces[faceTotal++] = face;
    for (int i = 0; i < face.count; ++i) {
      const int start = mIndices[face.position + i] & dgAABBPolygonSoup::kIndexMask;
      if (start < mVertexCount) {
        ++mFirstEdge[start + 2];
        ++edgeTotal;
      }
    }
  }
  dgFree(countAt);
  mEdges = static_cast<Edge*>(dgMalloc(sizeof(Edge) * static_cast<size_t>(edgeTotal > 0 ? edgeTotal : 1)));
  if (!mEdges) {
    dgFree(faces);
    return;
  }
  // Counts sit one slot ahead, so the running sum leaves mFirstEdge[v + 1]
  // as the fill cursor of vertex v, which ends as the start of vertex v + 1.
  for (int v = 2; v <= mVertexCount + 1; ++v) mFirstEdge[v] += mFirstEdge[v - 1];
  for (int f = 0; f < faceTotal; ++f) {
    mVisitedBy[f] = -1;
    for (int i = 0; i < faces[f].count; ++i) {
      const int start = mIndices[faces[f].position + i] & dgAABBPolygonSoup::kIndexMask;
      const int end = mIndices[faces[f].position + (i + 1) % faces[f].count] & dgAABBPolygonSoup::kIndexMask;
      if (start < mVertexCount) mEdges[mFirstEdge[start + 1]++] = Edge{end, f, i};
    }
  }
  mFaces = faces;
  mFaceCount = faceTotal;
}

dgSoupEdgeTable::~dgSoupEdgeTable() {
  dgFree(mFaces);
  dgFree(mFirstEdge);
  dgFree(mEdges);
  dgFree(mVisitedBy);
}
