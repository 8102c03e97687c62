#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvo::cups {

// What a destination reports of itself that a page layout needs. Lengths are
// in hundredths of a millimetre, as IPP gives them; a value the destination
// does not report stays 0 or empty.
struct DestinationAttributes {
  bool found = false;  // false: server unreachable or destination unknown
  bool no_answer = false;  // the server took the connection but stopped answering

  int resolution_x = 0;  // printer-resolution-default, dots per inch
  int resolution_y = 0;

  std::string media;  // media-default, e.g. "iso_a4_210x297mm"
  // From media-col-default.
  int media_width = 0;
  int media_length = 0;
  int margin_bottom = 0;
  int margin_left = 0;
  int margin_right = 0;
  int margin_top = 0;

  std::vector<int> bottom_margins_supported;  // media-bottom-margin-supported
  std::vector<int> left_margins_supported;
  std::vector<int> right_margins_supported;
  std::vector<int> top_margins_supported;

  std::string media_source;  // media-source-default
  std::vector<std::string> media_sources_supported;
  std::string sides;  // sides-default
  std::vector<std::string> sides_supported;
  int print_quality = 0;  // print-quality-default: 3 draft, 4 normal, 5 high
  std::vector<int> print_qualities_supported;
};

// Asks the server for `destination`'s attributes ("queue" or
// "queue/instance").
DestinationAttributes read_destination_attributes(std::string_view destination);

}  // namespace tarvo::cups
