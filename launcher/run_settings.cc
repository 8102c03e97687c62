#include "launcher/run_settings.h"

#include <array>

namespace tarvo {
namespace {

// The settings in the order they are applied, with the runtime's setting
// identifiers. Only four change anything in this program; the others belong
// to console and table features that a window program does not use and are
// kept so the list reads as the runtime's.
struct Setting {
  int id;
  void (*apply)(RunSettings&);
};

void no_effect(RunSettings&) {}

constexpr std::array<Setting, 14> kSettings{{
    {17, no_effect},                                              // console output on
    {11, [](RunSettings& s) { s.deleted_hidden = true; }},       // deleted records hidden
    {35, no_effect},                                              // menu wrap on
    {31, no_effect},                                              // intensity on
    {28, no_effect},                                              // Esc ends input
    {32, no_effect},                                              // scoreboard off
    {26, no_effect},                                              // bell off
    {1, [](RunSettings& s) { s.exact = false; }},                // exact comparison off
    {27, no_effect},                                              // confirm on field exit off
    {3, [](RunSettings& s) { s.decimals = 5; }},                 // decimals
    {4, [](RunSettings& s) { s.century = false; }},              // date format dd/mm/yy
    {0, [](RunSettings& s) { s.century = true; }},               // century on: dd/mm/yyyy
    {33, no_effect},                                              // delimiters off
    {5, [](RunSettings& s) { s.epoch = 1925; }},                 // epoch
}};

}  // namespace

void CONF_AMBIENTE(RunSettings& settings) {
  for (const Setting& s : kSettings) s.apply(settings);
}

}  // namespace tarvo
