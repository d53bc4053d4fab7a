#pragma once

#include <QString>

namespace vorlix::document {

// Replaces the references of a data document's character data by their characters: the five
// named ones (&amp; &lt; &gt; &quot; &apos;) and the numeric ones (&#12354; &#x3042;) of
// characters XML allows. Anything else, a lone "&" or an unknown name such as &nbsp;, stays as
// written, so that documents written by hand before references were read still mean the same.
void decodeCharacterReferences(QString& text);

}
