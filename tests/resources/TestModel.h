#pragma once

#include "ModelIndex.h"

#include <string>

namespace modeldata
{

// Path of a shipped resource document.
inline std::string resourcePath(const std::string& file)
{
    return std::string(RESOURCE_DIR) + "/" + file;
}

// The shipped model (tarndefs.xml with its include), loaded once. Fails the
// calling test when it cannot be loaded.
const ModelIndex& shippedModel();

// One line that describes a parameter's effective values:
// "id|name|type|min|max|mid|def|units|curve|flags|tag" (mid empty when not given).
std::string describe(const EffectiveParam& param);

} // namespace modeldata
