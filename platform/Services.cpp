#include "platform/Services.h"

namespace platform {

Services& GetServices()
{
    static Services s_services;
    return s_services;
}

ScopedServices::ScopedServices(Services services) : m_saved(GetServices())
{
    GetServices() = std::move(services);
}

ScopedServices::~ScopedServices()
{
    GetServices() = std::move(m_saved);
}

}  // namespace platform
