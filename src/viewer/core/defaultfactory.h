#pragma once
// The factory of the real components: page view, thumbnail pane, progress bar, the
// recognition engine, and the platform's prompts, settings, machine values and printer.

#include <memory>

#include "interfaces/componentfactory.h"

namespace ktdv {

std::shared_ptr<ComponentFactory> createDefaultFactory();

}  // namespace ktdv
