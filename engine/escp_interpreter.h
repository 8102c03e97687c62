#pragma once

#include <string_view>

#include "engine/code_pages.h"

namespace tarvo {

class WIN32PRN;

// How the printer that the data was written for was set up.
struct EscpOptions {
  // The table of the characters from 0x80 on, until the data selects another
  // with ESC t or ESC ( t.
  CodeTable code_table = CodeTable::cp850;
  // 24-pin printers count ESC 3, ESC J and ESC j in 1/180 inch, ESC A in
  // 1/60, ESC SP and ESC \ in 1/180; 9-pin ones in 1/216, 1/72 and 1/120.
  bool twenty_four_pin = false;
};

// Draws printer data in the ESC/P command set of 9- and 24-pin matrix
// printers on the page object, whose document is open: the text where the
// codes put it, at the pitch, spacing and attributes they select, and pages
// where a form feed or the page length ends them. Graphics, bar codes,
// user-defined characters and codes with no meaning on a page are skipped by
// their length; an unknown code is skipped alone, so no text is lost.
void render_escp(std::string_view data, WIN32PRN& page, const EscpOptions& options = {});
// The same for data in two pieces, `data` then `rest`, read as one: a
// sequence may begin in one and end in the other.
void render_escp(std::string_view data, std::string_view rest, WIN32PRN& page, const EscpOptions& options = {});

}  // namespace tarvo
