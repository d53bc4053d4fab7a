#pragma once

namespace vorlix::render {

// Maps the Windows face names that forms use ("ＭＳ 明朝", "MS Gothic", "Terminal", ...) to the
// installed IPA faces and a monospace face. Fontconfig knows no aliases for them and would fall
// back to a Latin face. Safe to call any number of times; needs a Gui application.
void installFontSubstitutions();

}
