#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "printing/page_device.h"

namespace tarvo {

// The pages of one document of a preview, drawn when they are shown.
class PreviewPages {
 public:
  virtual ~PreviewPages() = default;
  virtual std::size_t count() const = 0;
  virtual SheetSize size(std::size_t page) const = 0;
  // Page `page` (from 0) drawn at `pixels_per_point`.
  virtual PageImage render(std::size_t page, double pixels_per_point) const = 0;
};

// What a job would print, page by page, without printing it: the pages of
// every document the job ended, in order, and a note for the reader (UTF-8,
// may be empty). A page is drawn only when asked for, so a long job costs
// its drawing calls, not its images.
class PreviewDocument {
 public:
  void add(std::shared_ptr<const PreviewPages> pages);
  std::size_t page_count() const { return page_count_; }
  SheetSize page_size(std::size_t page) const;
  PageImage render(std::size_t page, double pixels_per_point) const;

  std::string note;

 private:
  // The document holding `page`, and the page's number within it.
  std::pair<const PreviewPages*, std::size_t> locate(std::size_t page) const;

  std::vector<std::shared_ptr<const PreviewPages>> documents_;
  std::vector<std::size_t> first_pages_;  // of each document, in the whole preview
  std::size_t page_count_ = 0;
};

// Page devices that preview instead of printing. Each one records what the
// page model draws into a compact list of drawing calls, while the printer's
// image device (PageDeviceFactory::open_images) measures every text and font,
// so that what the page model places is placed as in print. An ended
// document's pages join the preview; an aborted one's do not, as they would
// not print. Nothing reaches a printer.
class PreviewPageDevices final : public PageDeviceFactory {
 public:
  // `print_file` gives the print file's text where it is held at the moment
  // it is called: texts drawn straight from it are kept as places in it
  // rather than copied, so it must hold the same text while the preview
  // lives.
  PreviewPageDevices(PageDeviceFactory& printers, PreviewDocument& preview,
                     std::function<std::string_view()> print_file);
  ~PreviewPageDevices() override;

  std::unique_ptr<PageDevice> open(std::string_view printer) override;

 private:
  PageDeviceFactory& printers_;
  PreviewDocument& preview_;
  std::function<std::string_view()> print_file_;
  // One image device a printer, for all its documents: it keeps its fonts.
  std::map<std::string, std::shared_ptr<ImagePageDevice>, std::less<>> image_devices_;
};

}  // namespace tarvo
