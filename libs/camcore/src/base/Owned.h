#pragma once

// The engine's owning wrappers are the shared ones.
#include "common/Owned.h"

namespace camcore {

using common::Owned;
using common::UniqueFd;

} // namespace camcore
