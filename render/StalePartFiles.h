#pragma once

#include <QString>

namespace vorlix::render {

// Removes the partial files ".NAME.<pid>.part" that runs which no longer exist left beside an
// output (killed before they could clean up): those of the target's own name and, for outputs
// of one file per page, of its page names. A partial file of a running process stays.
void removeStalePartFiles(const QString& target);

}
