#pragma once

#include <string>
#include <vector>

#include "component/slip.h"
#include "component/slip_layout.h"
#include "printing/page_preview.h"

namespace tarvo::component {

// The slips as a PDF document: one A4 page per slip (Linux).
std::string slips_pdf(const std::vector<Slip>& slips, const AccountData& account, const Date& processing_date);

// A slip's sheet, and its page as it prints, drawn into an image: what a
// preview shows. Each platform draws it with its own canvas.
inline SheetSize slip_sheet() { return {kSlipSheetWidth * 72.0 / 25.4, kSlipSheetHeight * 72.0 / 25.4}; }
PageImage slip_image(const Slip& slip, const AccountData& account, const Date& processing_date,
                     double pixels_per_point);

}  // namespace tarvo::component
