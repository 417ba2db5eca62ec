#include "engine/scene/MaterialLink.h"

C3MEModelServices& ModelServices() {
    static C3MEModelServices services;
    return services;
}

C3MEModelServices SetModelServices(const C3MEModelServices& services) {
    const C3MEModelServices previous = ModelServices();
    ModelServices() = services;
    return previous;
}
