#pragma once

#include <string>
#include <vector>

#include "component/slip.h"
#include "printing/page_preview.h"

namespace tarvo::component {

// Bars of the Interleaved 2 of 5 symbol of a bar code, in narrow-bar units
// from the start of the symbol: each bar's left edge and width.
struct Bar {
  double x = 0, width = 0;
};
std::vector<Bar> interleaved_2_of_5(const std::string& digits);

// The slips as a PDF document: one A4 page per slip, the payer's receipt
// above, a cut line, the ficha de compensação with the bar code below.
std::string slips_pdf(const std::vector<Slip>& slips, const AccountData& account, const Date& processing_date);

// A slip's sheet, and its page as slips_pdf draws it, drawn into an image.
SheetSize slip_sheet();
PageImage slip_image(const Slip& slip, const AccountData& account, const Date& processing_date,
                     double pixels_per_point);

}  // namespace tarvo::component
