#pragma once
// The settings of this launcher: found from its own path, with the embedded
// settings text deciphered once for every later read.

#include "messages/failure.h"
#include "settings/settings_source.h"

namespace korvan {

// The launcher path, the settings file beside it and the embedded settings
// text. A launcher path that cannot be known fails with message 202; one from
// which no settings file name follows fails without a message.
Expected<SettingsSource> OpenSettingsSource();

}  // namespace korvan
