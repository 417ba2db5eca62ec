#include "engine/scene/model/MaterialLink.h"

#include "engine/graphics/MaterialManager.h"

namespace {

CMATMaterial* ManagerMaterial(const char* name) { return CMATManager::GetInstance()->GetMaterial(name); }

void ManagerLibrary(const char* fileName) { CMATManager::GetInstance()->ReadLibrary(fileName); }

void ManagerTextures() { CMATManager::GetInstance()->ResolveTextures(); }

C3MEModelServices DefaultServices() {
  C3MEModelServices services;
  services.getMaterial = &ManagerMaterial;
  services.readLibrary = &ManagerLibrary;
  services.resolveTextures = &ManagerTextures;
  // Display lists belong to the GL layer, which installs their release.
  return services;
}

}  // namespace

C3MEModelServices& ModelServices() {
  static C3MEModelServices services = DefaultServices();
  return services;
}

C3MEModelServices SetModelServices(const C3MEModelServices& services) {
  const C3MEModelServices previous = ModelServices();
  ModelServices() = services;
  return previous;
}
