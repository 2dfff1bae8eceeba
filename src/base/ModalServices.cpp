#include "base/ModalServices.h"

#include <stdexcept>

namespace skarvel {

namespace {

ModalServices* g_installed = nullptr;

} // namespace

ModalServices& modal()
{
    if (!g_installed)
        throw std::logic_error("no modal services installed");
    return *g_installed;
}

ScopedModalServices::ScopedModalServices(ModalServices& services) : m_previous(g_installed)
{
    g_installed = &services;
}

ScopedModalServices::~ScopedModalServices()
{
    g_installed = m_previous;
}

} // namespace skarvel
