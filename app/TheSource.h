#pragma once

namespace vorlix::document {
class Source;
}

// The objects of the program's whole life that sit above every library: the one source document
// and the end routine. The window receives the document from Main; nothing below reaches here.
namespace vorlix::app {

// Creates the one source document (after the printer has been chosen, so that it starts from
// that printer). A second call replaces it.
document::Source& createTheSource();

// The one source document; only between createTheSource and EndApp.
[[nodiscard]] document::Source& TheSource();

// Whether the source document exists.
[[nodiscard]] bool hasTheSource();

// Ends the program's objects: the source document first (it writes its last settings while it
// ends), then the settings object; then logs "Vorlix/Main>!!END!!".
void EndApp();

}
