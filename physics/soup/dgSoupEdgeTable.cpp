#include "physics/soup/dgSoupEdgeTable.h"

#include <cstring>

#include "physics/memory/dgMemory.h"

dgSoupEdgeTable::dgSoupEdgeTable(dgAABBPolygonSoup& soup)
    : indices_(soup.GetIndices()), vertexCount_(soup.GetVertexCount()) {
  const int nodeCount = soup.GetNodeCount();
  const dgAABBPolygonSoup::Node* nodes = soup.GetNodes();
  if (!nodes || nodeCount < 1) return;
  // A built tree over n faces has n - 1 nodes and every face is one leaf link.
  const int faceCount = nodeCount + 1;
  auto* faces = static_cast<Face*>(dgMallocScratch(sizeof(Face) * static_cast<size_t>(faceCount)));
  firstEdge_ = static_cast<int*>(dgMallocScratch(sizeof(int) * (static_cast<size_t>(vertexCount_) + 2)));
  visitedBy_ = static_cast<int*>(dgMallocScratch(sizeof(int) * static_cast<size_t>(faceCount)));
  if (!faces || !firstEdge_ || !visitedBy_) {
    dgFree(faces);
    return;
  }
  // The faces in the order their runs lie in the index array, where a
  // face's neighbours mostly lie close by: marking then walks the table's
  // memory far more in order than the tree's leaf order would.
  const int indexCount = soup.GetIndexCount();
  auto* countAt = static_cast<unsigned char*>(dgMallocScratch(static_cast<size_t>(indexCount > 0 ? indexCount : 1)));
  if (!countAt) {
    dgFree(faces);
    return;
  }
  std::memset(countAt, 0, static_cast<size_t>(indexCount > 0 ? indexCount : 1));
  for (int n = 0; n < nodeCount; ++n) {
    for (const uint32_t link : {nodes[n].left, nodes[n].right}) {
      if (!dgAABBPolygonSoup::IsLeaf(link)) continue;
      const int position = dgAABBPolygonSoup::LeafPosition(link);
      if (position < indexCount)
        countAt[position] = static_cast<unsigned char>(dgAABBPolygonSoup::LeafIndexCount(link));
    }
  }
  int faceTotal = 0;
  long long edgeTotal = 0;
  std::memset(firstEdge_, 0, sizeof(int) * (static_cast<size_t>(vertexCount_) + 2));
  for (int position = 0; position < indexCount && faceTotal < faceCount; ++position) {
    if (countAt[position] == 0) continue;
    const Face face{position, countAt[position]};
    faces[faceTotal++] = face;
    for (int i = 0; i < face.count; ++i) {
      const int start = indices_[face.position + i] & dgAABBPolygonSoup::kIndexMask;
      if (start < vertexCount_) {
        ++firstEdge_[start + 2];
        ++edgeTotal;
      }
    }
  }
  dgFree(countAt);
  edges_ = static_cast<Edge*>(dgMallocScratch(sizeof(Edge) * static_cast<size_t>(edgeTotal > 0 ? edgeTotal : 1)));
  if (!edges_) {
    dgFree(faces);
    return;
  }
  // Counts sit one slot ahead, so the running sum leaves firstEdge_[v + 1]
  // as the fill cursor of vertex v, which ends as the start of vertex v + 1.
  for (int v = 2; v <= vertexCount_ + 1; ++v) firstEdge_[v] += firstEdge_[v - 1];
  for (int f = 0; f < faceTotal; ++f) {
    visitedBy_[f] = -1;
    for (int i = 0; i < faces[f].count; ++i) {
      const int start = indices_[faces[f].position + i] & dgAABBPolygonSoup::kIndexMask;
      const int end = indices_[faces[f].position + (i + 1) % faces[f].count] & dgAABBPolygonSoup::kIndexMask;
      if (start < vertexCount_) edges_[firstEdge_[start + 1]++] = Edge{end, f, i};
    }
  }
  faces_ = faces;
  faceCount_ = faceTotal;
}

dgSoupEdgeTable::~dgSoupEdgeTable() {
  dgFree(faces_);
  dgFree(firstEdge_);
  dgFree(edges_);
  dgFree(visitedBy_);
}
