#include "platform/Platform.h"

#include <stdexcept>

namespace platform {
namespace {
Services g_services;
}

void Install(const Services& services) { g_services = services; }

const Services& Installed() {
  if (!g_services.registry || !g_services.kernel || !g_services.files)
    throw std::logic_error("platform services are not installed");
  return g_services;
}

}  // namespace platform
