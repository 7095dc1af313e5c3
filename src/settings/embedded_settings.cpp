#include "settings/embedded_settings.h"

namespace korvan {

// Not built yet: no embedded settings text.
std::vector<EmbeddedSection> LoadEmbeddedSettings(const std::wstring&) { return {}; }

}  // namespace korvan
