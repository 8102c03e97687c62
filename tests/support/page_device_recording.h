#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printing/page_device.h"

namespace tarvo {

// What the recording devices saw, kept by their factory so that it outlives
// the devices the page model releases.
struct PageRecording {
  // One text drawn on a page.
  struct Drawn {
    int page = 0;  // 1-based within its document
    int x = 0;
    int y = 0;
    std::string text;
    FontRequest font;  // the font selected when it was drawn
    int align = 0;
    std::optional<int> fixed_advance;
  };

  // One rectangle filled on a page.
  struct Filled {
    int page = 0;
    int x = 0, y = 0, width = 0, height = 0;
    double darkness = 1;
  };

  // Every call in order, one line each ("start_document NAME", "font ...",
  // "text X Y TEXT", ...).
  std::vector<std::string> events;
  std::vector<Drawn> texts;
  std::vector<Filled> rects;
  std::vector<FontRequest> fonts;          // every font selected
  std::vector<PrintSettings> settings;     // every settings step
  int documents_ended = 0;
  int documents_aborted = 0;
  int pages_ended = 0;  // pages closed in ended documents
  int open_devices = 0;

  // The events that begin with `prefix`.
  std::vector<std::string> events_starting(std::string_view prefix) const;
};

// Page devices that draw nothing and record every call. Metrics follow a
// monospaced face shaped like the one the pitch codes select: ascent 0.833,
// descent 0.300 and advance 0.600 of the em height.
class RecordingPageDevices final : public PageDeviceFactory {
 public:
  RecordingPageDevices();
  ~RecordingPageDevices() override;

  std::unique_ptr<PageDevice> open(std::string_view printer) override;

  // Printer names that open; any name opens when the list is empty.
  std::vector<std::string> known;
  int dpi_x = 600;
  int dpi_y = 600;
  int offset_x = 0;
  int offset_y = 0;
  bool refuse_settings = false;
  // Failures of the document brackets, each with `failure_reason`: the
  // print system refuses the document at its start, or loses it at its end;
  // page `failing_page` (1-based, 0 = none) cannot be drawn.
  bool refuse_documents = false;
  bool lose_documents = false;
  int failing_page = 0;
  std::string failure_reason = "motivo";
  // The face the devices report as selected; "" reports the face asked for.
  std::string selected_face;

  PageRecording& recording() { return *recording_; }

 private:
  std::shared_ptr<PageRecording> recording_;
};

}  // namespace tarvo
