#include "launcher/preview.h"

#include <optional>

#include "launcher/chooser.h"
#include "launcher/startup.h"
#include "printing/page_preview.h"

namespace tarvo {
namespace {

// Roomy enough for an A4 page at a readable size; the window keeps to the
// screen.
constexpr ui::Rect kPreviewFrame{40, 100, 940, 900};  // top, left, bottom, right

// The job's pages as the window draws them.
class ShownPages final : public ui::PreviewPages {
 public:
  explicit ShownPages(const PreviewDocument& preview) : preview_(preview) {}

  std::size_t page_count() const override { return preview_.page_count(); }
  ui::PageSize page_size(std::size_t page) const override {
    const SheetSize sheet = preview_.page_size(page);
    return {sheet.width, sheet.height};
  }
  ui::PageImage render(std::size_t page, double pixels_per_point) override {
    PageImage image = preview_.render(page, pixels_per_point);
    return {image.width, image.height, std::move(image.pixels)};
  }

 private:
  const PreviewDocument& preview_;
};

// Where the print file's text is at the moment: lent to the running job, or
// back with the run.
std::string_view held_print_file(const JobState& s) {
  return s.W_DADOS_ARQUIVO.empty() ? std::string_view(s.V_DADOS_ARQUIVO) : std::string_view(s.W_DADOS_ARQUIVO);
}

// Runs the job into `preview`; true when it gave something to show.
bool run_into(Launcher& run, PreviewDocument& preview, std::string_view printer) {
  const JobState& s = run.state;
  std::optional<PreviewPageDevices> devices;
  if (run.pages != nullptr) devices.emplace(*run.pages, preview, [&s] { return held_print_file(s); });
  JobServices job = run.job_services();
  job.pages = devices ? &*devices : nullptr;
  job.preview = &preview;
  const JobOutcome outcome = run_job(run, job, printer, kModoPreview);
  return outcome != JobOutcome::failed && outcome != JobOutcome::not_found;
}

}  // namespace

std::string preview_title(std::string_view version, std::string_view path) {
  return "PreView - " + chooser_title(version, path);
}

ui::PreviewWords preview_words() {
  ui::PreviewWords w;
  w.print = "Imprimir";
  w.close = "Fechar";
  w.previous = "Anterior";
  w.next = "Próxima";
  w.fit_page = "Página inteira";
  w.fit_width = "Largura da página";
  w.actual_size = "100 %";
  w.nothing_to_print = "Nada a imprimir";
  w.page_counter = [](std::size_t page, std::size_t count) {
    return "Página " + std::to_string(page) + " de " + std::to_string(count);
  };
  return w;
}

void preview_job(Launcher& run, std::string_view printer) {
  PreviewDocument preview;
  if (!run_into(run, preview, printer)) return;

  ShownPages pages(preview);
  ui::PreviewDesc desc;
  desc.title = preview_title(run.state.W_VERSAO_VAZ, run.state.VARQ_IMPRIMIR);
  desc.frame = kPreviewFrame;
  desc.pages = &pages;
  desc.note = preview.note;
  desc.words = preview_words();
  // A DOS-standard file prints raw whatever its pages show.
  desc.can_print = preview.page_count() > 0 || !preview.note.empty();
  bool print = false;
  desc.on_print = [&print] { print = true; };
  std::unique_ptr<ui::PreviewWindow> window = run.toolkit.create_preview(desc);
  if (!window) {
    run.messages.G_ERRO(Value(std::string(run.toolkit.has_display() ? kPreviewRecusada : kSemJanelaPreview)));
    return;
  }
  window->run();
  window.reset();
  if (print) run_print_job(run, printer, kModoImprimir);
}

}  // namespace tarvo
