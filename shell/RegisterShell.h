#pragma once

namespace vorlix::shell {

// Writes or removes the file association as section "reg" of the settings says (fae, mnd, vopt,
// mime): the keys of the registry, and the desktop's MIME package, entry and icon. Runs at the
// first start and when the options dialog changed a choice. Failures are silent.
void RegisterShell();

}
