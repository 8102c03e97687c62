#pragma once

#include "component/slip.h"
#include "component/slip_canvas.h"
#include "runtime/date.h"

namespace tarvo::component {

// The slip's sheet: A4, in millimetres.
inline constexpr double kSlipSheetWidth = 210.0, kSlipSheetHeight = 297.0;

// One slip on its sheet: the payer's receipt above, a cut line, the ficha de
// compensação with the bar code below.
void draw_slip(SlipCanvas& canvas, const Slip& slip, const AccountData& account, const Date& processing_date);

}  // namespace tarvo::component
