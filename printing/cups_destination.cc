#include "printing/cups_destination.h"

#include "printing/cups_connection.h"

namespace tarvo::cups {
namespace {

struct DestInfoFree {
  void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};
using DestInfo = std::unique_ptr<cups_dinfo_t, DestInfoFree>;

struct Lookup {
  http_t* http;
  cups_dest_t* dest;
  cups_dinfo_t* info;

  ipp_attribute_t* default_of(const char* option) const {
    return cupsFindDestDefault(http, dest, info, option);
  }
  ipp_attribute_t* supported(const char* option) const {
    return cupsFindDestSupported(http, dest, info, option);
  }
};

std::vector<int> integers(ipp_attribute_t* attr) {
  std::vector<int> out;
  for (int i = 0; attr != nullptr && i < ippGetCount(attr); ++i) out.push_back(ippGetInteger(attr, i));
  return out;
}

std::vector<std::string> keywords(ipp_attribute_t* attr) {
  std::vector<std::string> out;
  for (int i = 0; attr != nullptr && i < ippGetCount(attr); ++i)
    if (const char* s = ippGetString(attr, i, nullptr)) out.emplace_back(s);
  return out;
}

std::string keyword(ipp_attribute_t* attr) {
  const char* s = attr != nullptr ? ippGetString(attr, 0, nullptr) : nullptr;
  return s != nullptr ? s : "";
}

int member_integer(ipp_t* collection, const char* name) {
  ipp_attribute_t* attr = ippFindAttribute(collection, name, IPP_TAG_INTEGER);
  return attr != nullptr ? ippGetInteger(attr, 0) : 0;
}

void read_resolution(const Lookup& at, DestinationAttributes& out) {
  ipp_attribute_t* attr = at.default_of("printer-resolution");
  if (attr == nullptr || ippGetValueTag(attr) != IPP_TAG_RESOLUTION) return;
  int y = 0;
  ipp_res_t units = IPP_RES_PER_INCH;
  int x = ippGetResolution(attr, 0, &y, &units);
  if (units == IPP_RES_PER_CM) {
    x = static_cast<int>(x * 2.54 + 0.5);
    y = static_cast<int>(y * 2.54 + 0.5);
  }
  out.resolution_x = x;
  out.resolution_y = y;
}

void read_media(const Lookup& at, DestinationAttributes& out) {
  out.media = keyword(at.default_of("media"));
  ipp_attribute_t* col = at.default_of("media-col");
  if (col != nullptr && ippGetValueTag(col) == IPP_TAG_BEGIN_COLLECTION) {
    ipp_t* media_col = ippGetCollection(col, 0);
    if (ipp_attribute_t* size = ippFindAttribute(media_col, "media-size", IPP_TAG_BEGIN_COLLECTION)) {
      ipp_t* dims = ippGetCollection(size, 0);
      out.media_width = member_integer(dims, "x-dimension");
      out.media_length = member_integer(dims, "y-dimension");
    }
    out.margin_bottom = member_integer(media_col, "media-bottom-margin");
    out.margin_left = member_integer(media_col, "media-left-margin");
    out.margin_right = member_integer(media_col, "media-right-margin");
    out.margin_top = member_integer(media_col, "media-top-margin");
  }
  out.bottom_margins_supported = integers(at.supported("media-bottom-margin"));
  out.left_margins_supported = integers(at.supported("media-left-margin"));
  out.right_margins_supported = integers(at.supported("media-right-margin"));
  out.top_margins_supported = integers(at.supported("media-top-margin"));
}

}  // namespace

DestinationAttributes read_destination_attributes(std::string_view destination) {
  DestinationAttributes out;
  Http http = connect_server();
  out.no_answer = http.no_answer();
  if (!http) return out;
  Dest dest = find_dest(http.get(), destination);
  out.no_answer = http.no_answer();
  if (!dest) return out;
  out.found = true;
  DestInfo info(cupsCopyDestInfo(http.get(), dest.get()));
  out.no_answer = http.no_answer();
  if (!info) return out;
  const Lookup at{http.get(), dest.get(), info.get()};

  read_resolution(at, out);
  read_media(at, out);
  out.media_source = keyword(at.default_of("media-source"));
  out.media_sources_supported = keywords(at.supported("media-source"));
  out.sides = keyword(at.default_of("sides"));
  out.sides_supported = keywords(at.supported("sides"));
  if (ipp_attribute_t* q = at.default_of("print-quality")) out.print_quality = ippGetInteger(q, 0);
  out.print_qualities_supported = integers(at.supported("print-quality"));
  out.no_answer = http.no_answer();
  return out;
}

}  // namespace tarvo::cups
