#pragma once

#include <memory>

#include "ui/preview.h"

namespace tarvo::ui {

// A preview window on Qt Widgets. Qt must be running (a QApplication exists).
std::unique_ptr<PreviewWindow> make_qt_preview(const PreviewDesc& desc);

}  // namespace tarvo::ui
