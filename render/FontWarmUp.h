#pragma once

namespace vorlix::render {

// Reads the font configuration and looks up the faces forms use most. Run on a thread of its own
// while the program starts and reads its document, it spares the first page the wait for the
// font database: Qt keeps the database and the fallback lists for the whole process (each thread
// that draws still opens its own font files). Needs the application object; safe to run beside
// threads that draw.
void warmUpFonts();

}
