// Drawing a recorded trace as SVG: a speed chart and a pressure chart over a shared time axis,
// then one labelled lane per handle and watched panel element, then the sound lanes with marks.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "harness/trace_plot.h"

const double kTimeWidth = 1000;    // px of the time axis
const double kLeft = 180;          // px left of the time axis: lane names and value scales
const double kRight = 60;          // px right of the time axis: the lanes' value ranges
const double kTop = 56;            // px above the first chart: title
const double kChartHeight = 150;   // px of the speed and the pressure chart
const double kLaneHeight = 34;     // px of a step lane
const double kSoundHeight = 24;    // px of a sound lane
const double kGap = 26;            // px between two blocks
const double kBottom = 74;         // px below the last lane: time axis and the key to the marks
const double kCharWidth = 6.5;     // px of one character of a value label
const double kTextGap = 4;         // px between two value labels
const int kTickTarget = 10;        // about this many ticks on an axis

// Series colours, in order.
static const char* const kColours[] = {"#1f5fbf", "#c0392b", "#2e8b57", "#8e44ad", "#d35400", "#16a085"};

static std::string Number(double value) {
  char text[32];
  snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// Text that stays valid in XML: the markup characters escaped, other unusual bytes as "?".
static std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '"') out += "&quot;";
    else out += (byte >= 32 && byte < 127) ? c : '?';
  }
  return out;
}

// A round step (1, 2 or 5 times a power of ten) that splits range into about kTickTarget parts.
static double TickStep(double range) {
  if (!(range > 0) || !std::isfinite(range)) return 1;
  double raw = range / kTickTarget;
  double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = power;
  if (raw > 5 * power) step = 10 * power;
  else if (raw > 2 * power) step = 5 * power;
  else if (raw > power) step = 2 * power;
  return step;
}

// Maps times and values to pixels.
struct Frame {
  int64_t start, end;  // ms at the left and right end of the time axis
  double X(int64_t time) const {
    return kLeft + kTimeWidth * static_cast<double>(time - start) / static_cast<double>(end - start);
  }
};

// A vertical scale: value lo at pixel bottom, hi at pixel top.
struct Scale {
  double lo, hi, top, bottom;
  double Y(double value) const { return bottom - (value - lo) / (hi - lo) * (bottom - top); }
};

static std::string Text(double x, double y, const std::string& text, const char* extra = "") {
  return "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\"" + extra + ">" + Escape(text) + "</text>\n";
}

static std::string Line(double x1, double y1, double x2, double y2, const char* style) {
  return "<line x1=\"" + Number(x1) + "\" y1=\"" + Number(y1) + "\" x2=\"" + Number(x2) + "\" y2=\"" + Number(y2) +
         "\" " + style + "/>\n";
}

// The "d" of a line (or, with steps, a step line) through the points up to the frame's end.
// Points within one pixel column fold into one vertical stroke, so the path stays short however
// many frames the run has; values that are not finite break the line.
static std::string PathData(const std::vector<PlotPoint>& points, const Frame& frame, const Scale& scale, bool steps) {
  std::string d;
  bool open = false;
  double column = 0, low = 0, high = 0, last = 0;
  for (const PlotPoint& point : points) {
    if (!std::isfinite(point.value)) {
      if (open) d += " L" + Number(column) + " " + Number(last);
      open = false;
      continue;
    }
    double x = std::round(frame.X(point.time));
    double y = scale.Y(std::max(scale.lo, std::min(scale.hi, point.value)));
    if (open && x == column) {
      low = std::min(low, y);
      high = std::max(high, y);
      last = y;
      continue;
    }
    if (open) {
      if (low != high) d += " L" + Number(column) + " " + Number(low) + " L" + Number(column) + " " + Number(high);
      d += " L" + Number(column) + " " + Number(last);
      d += steps ? " L" + Number(x) + " " + Number(last) + " L" + Number(x) + " " + Number(y) : " L" + Number(x) + " " + Number(y);
    } else {
      d += " M" + Number(x) + " " + Number(y);
    }
    open = true;
    column = x;
    low = high = last = y;
  }
  if (open) {
    if (low != high) d += " L" + Number(column) + " " + Number(low) + " L" + Number(column) + " " + Number(high);
    d += " L" + Number(column) + " " + Number(last);
    if (steps) d += " L" + Number(frame.X(frame.end)) + " " + Number(last);
  }
  return d;
}

static std::string Path(const std::string& d, const char* colour, const char* width = "1.5") {
  if (d.empty()) return std::string();
  return "<path d=\"" + d.substr(1) + "\" fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"" + width +
         "\" stroke-linejoin=\"round\"/>\n";
}

// The smallest and largest finite value of some series; 0 to 1 when there is none.
static void Range(const std::vector<const std::vector<PlotPoint>*>& series, double* lo, double* hi) {
  bool any = false;
  for (const std::vector<PlotPoint>* points : series) {
    for (const PlotPoint& point : *points) {
      if (!std::isfinite(point.value)) continue;
      *lo = any ? std::min(*lo, point.value) : point.value;
      *hi = any ? std::max(*hi, point.value) : point.value;
      any = true;
    }
  }
  if (!any) *lo = *hi = 0;
}

// The times of the ticks on the time axis, in ms.
static std::vector<double> TimeTicks(const Frame& frame) {
  std::vector<double> ticks;
  double step = TickStep(static_cast<double>(frame.end - frame.start) / 1000.0) * 1000.0;
  double first = std::ceil(frame.start / step) * step;
  for (int k = 0; k <= 4 * kTickTarget && first + k * step <= frame.end; k++) ticks.push_back(first + k * step);
  return ticks;
}

// Vertical grid lines at the time ticks over a block.
static std::string TimeGrid(const Frame& frame, double top, double bottom) {
  std::string svg;
  for (double t : TimeTicks(frame)) {
    double x = frame.X(static_cast<int64_t>(t));
    svg += Line(x, top, x, bottom, "stroke=\"#e4e4e4\"");
  }
  return svg;
}

// The background band of a lane; every other lane is shaded.
static std::string LaneBand(double top, double height, const char* shade) {
  return "<rect x=\"" + Number(kLeft) + "\" y=\"" + Number(top) + "\" width=\"" + Number(kTimeWidth) + "\" height=\"" +
         Number(height) + "\" fill=\"" + shade + "\"/>\n";
}

// A chart of real values with a value axis: the speed from 0 up, or the pressures over their span.
static std::string Chart(const Frame& frame, double top, const std::string& title, const std::string& unit,
                         const std::vector<const std::vector<PlotPoint>*>& series, const std::vector<std::string>& names,
                         bool steps) {
  double lo = 0, hi = 0;
  Range(series, &lo, &hi);
  if (!steps) lo = std::min(lo, 0.0);
  if (!std::isfinite(hi - lo)) hi = lo + 1;  // a span beyond a double: no useful scale anyway
  double step = TickStep(hi - lo);
  lo = std::floor(lo / step) * step;
  hi = std::max(lo + step, std::ceil(hi / step) * step);
  Scale scale = {lo, hi, top, top + kChartHeight};
  std::string svg = "<g>\n" + TimeGrid(frame, top, top + kChartHeight);
  for (int k = 0; k <= 4 * kTickTarget && lo + k * step <= hi + step / 2; k++) {
    double v = lo + k * step;
    double y = scale.Y(v);
    svg += Line(kLeft, y, kLeft + kTimeWidth, y, "stroke=\"#e4e4e4\"");
    char label[32];
    snprintf(label, sizeof label, "%g", v);
    svg += Text(kLeft - 6, y + 4, label, " text-anchor=\"end\" font-size=\"11\"");
  }
  svg += "<rect x=\"" + Number(kLeft) + "\" y=\"" + Number(top) + "\" width=\"" + Number(kTimeWidth) + "\" height=\"" +
         Number(kChartHeight) + "\" fill=\"none\" stroke=\"#999\"/>\n";
  svg += Text(12, top + 16, title, " font-weight=\"bold\"");
  svg += Text(12, top + 32, "(" + unit + ")", " font-size=\"11\"");
  for (size_t i = 0; i < series.size(); i++) {
    const char* colour = kColours[i % (sizeof kColours / sizeof kColours[0])];
    svg += Path(PathData(*series[i], frame, scale, steps), colour);
    if (series.size() > 1 || !names.empty()) {
      svg += "<rect x=\"12\" y=\"" + Number(top + 44 + 16 * i) + "\" width=\"10\" height=\"10\" fill=\"" + colour + "\"/>\n";
      svg += Text(26, top + 53 + 16 * i, names[i], " font-size=\"11\"");
    }
  }
  return svg + "</g>\n";
}

// A step lane: the values of one series over time, with the value written where it changes.
static std::string StepLane(const Frame& frame, double top, const PlotSeries& series) {
  double lo = 0, hi = 0;
  Range({&series.points}, &lo, &hi);
  bool constant = !(hi > lo);
  if (constant || !std::isfinite(hi - lo)) hi = lo + 1;
  Scale scale = {lo, hi, top + 16, top + kLaneHeight - 5};
  std::string svg = "<g>\n";
  svg += Text(kLeft - 8, top + kLaneHeight / 2 + 4, series.label, " text-anchor=\"end\"");
  svg += Path(PathData(series.points, frame, scale, true), "#1f5fbf");
  // The lane's span at its right end, so that a pulse too short for a label still reads.
  char span[64];
  snprintf(span, sizeof span, constant ? "%.0f" : "%.0f..%.0f", lo, hi);
  svg += Text(kLeft + kTimeWidth + 6, top + kLaneHeight / 2 + 4, span, " font-size=\"10\" fill=\"#777\"");
  // Where changes crowd, a value is written where it settles: where its label fits before the
  // next change.
  double freeFrom = -1e9;  // px where the next label may start
  for (size_t i = 0; i < series.points.size(); i++) {
    const PlotPoint& point = series.points[i];
    double x = frame.X(point.time);
    char value[32];
    snprintf(value, sizeof value, "%.0f", point.value);
    double room = strlen(value) * kCharWidth + kTextGap;
    bool settles = i + 1 == series.points.size() || frame.X(series.points[i + 1].time) - x >= room;
    if (x < freeFrom || !settles) continue;
    svg += Text(x + 2, top + 12, value, " font-size=\"10\" fill=\"#333\"");
    freeFrom = x + room;
  }
  return svg + "</g>\n";
}

// A sound lane: a bar while the sound loops, a triangle where it is played once, a cross where it
// is stopped, a dot with the number for any other value.
static std::string SoundLane(const Frame& frame, double top, const PlotSeries& series) {
  double middle = top + kSoundHeight / 2;
  std::string svg = "<g>\n";
  svg += Text(kLeft - 8, middle + 4, series.label, " text-anchor=\"end\"");
  svg += Line(kLeft, middle, kLeft + kTimeWidth, middle, "stroke=\"#ddd\"");
  double lastColumn = -1;
  for (size_t i = 0; i < series.points.size(); i++) {
    const PlotPoint& point = series.points[i];
    double x = frame.X(point.time);
    int value = static_cast<int>(point.value);
    if (i == 0 && value == SOUND_STOP) continue;  // silent from the start: nothing to mark
    if (std::round(x) == lastColumn) continue;    // one mark per pixel column is all that shows
    lastColumn = std::round(x);
    if (value == SOUND_LOOP) {
      double end = i + 1 < series.points.size() ? frame.X(series.points[i + 1].time) : frame.X(frame.end);
      svg += "<rect x=\"" + Number(x) + "\" y=\"" + Number(middle - 4) + "\" width=\"" + Number(std::max(2.0, end - x)) +
             "\" height=\"8\" fill=\"#d35400\"/>\n";
    } else if (value == SOUND_PLAY) {
      svg += "<path d=\"M" + Number(x - 5) + " " + Number(middle + 5) + " L" + Number(x + 5) + " " + Number(middle + 5) +
             " L" + Number(x) + " " + Number(middle - 6) + " Z\" fill=\"#2e8b57\"/>\n";
    } else if (value == SOUND_STOP) {
      svg += Line(x - 4, middle - 4, x + 4, middle + 4, "stroke=\"#c0392b\" stroke-width=\"2\"");
      svg += Line(x - 4, middle + 4, x + 4, middle - 4, "stroke=\"#c0392b\" stroke-width=\"2\"");
    } else {
      svg += "<circle cx=\"" + Number(x) + "\" cy=\"" + Number(middle) + "\" r=\"3\" fill=\"#8e44ad\"/>\n";
      svg += Text(x + 4, middle - 3, std::to_string(value), " font-size=\"10\"");
    }
  }
  return svg + "</g>\n";
}

// The time axis under the lanes, and the key to the sound marks.
static std::string TimeAxis(const Frame& frame, double y, bool sounds) {
  std::string svg = Line(kLeft, y, kLeft + kTimeWidth, y, "stroke=\"#333\"");
  for (double t : TimeTicks(frame)) {
    double x = frame.X(static_cast<int64_t>(t));
    svg += Line(x, y, x, y + 5, "stroke=\"#333\"");
    char label[32];
    snprintf(label, sizeof label, "%g", t / 1000.0);
    svg += Text(x, y + 18, label, " text-anchor=\"middle\" font-size=\"11\"");
  }
  svg += Text(kLeft + kTimeWidth / 2, y + 36, "time (s)", " text-anchor=\"middle\"");
  if (sounds) {
    double k = y + 58;
    svg += Text(kLeft, k, "sound marks:", " font-size=\"11\"");
    svg += "<path d=\"M" + Number(kLeft + 84) + " " + Number(k) + " l10 0 l-5 -11 Z\" fill=\"#2e8b57\"/>\n";
    svg += Text(kLeft + 100, k, "played once", " font-size=\"11\"");
    svg += "<rect x=\"" + Number(kLeft + 180) + "\" y=\"" + Number(k - 8) + "\" width=\"20\" height=\"8\" fill=\"#d35400\"/>\n";
    svg += Text(kLeft + 206, k, "looping", " font-size=\"11\"");
    svg += Line(kLeft + 262, k - 9, kLeft + 270, k - 1, "stroke=\"#c0392b\" stroke-width=\"2\"");
    svg += Line(kLeft + 262, k - 1, kLeft + 270, k - 9, "stroke=\"#c0392b\" stroke-width=\"2\"");
    svg += Text(kLeft + 276, k, "stopped", " font-size=\"11\"");
  }
  return svg;
}

std::string TracePlotSvg(const TracePlot& plot) {
  Frame frame = {0, 1000};
  if (!plot.speed.empty()) {
    frame.start = plot.speed.front().time;
    frame.end = std::max(plot.lastTime, frame.start + 1);
  }
  std::vector<const std::vector<PlotPoint>*> pressures;
  std::vector<std::string> pressureNames;
  std::vector<const PlotSeries*> lanes = {&plot.brake, &plot.power, &plot.reverser};
  std::vector<const PlotSeries*> sounds;
  for (size_t i = 0; i < plot.watched.size(); i++) {
    if (plot.places[i] == kPlacePressure) {
      pressures.push_back(&plot.watched[i].points);
      pressureNames.push_back(plot.watched[i].label);
    } else if (plot.places[i] == kPlaceSound) {
      sounds.push_back(&plot.watched[i]);
    } else {
      lanes.push_back(&plot.watched[i]);
    }
  }

  std::string body;
  double y = kTop;
  body += Chart(frame, y, "speed", "km/h", {&plot.speed}, {}, false);
  y += kChartHeight + kGap;
  if (!pressures.empty()) {
    body += Chart(frame, y, "pressure", "kPa", pressures, pressureNames, true);
    y += kChartHeight + kGap;
  }
  // The lanes' bands first, then the grid over them, then what the lanes show.
  std::string bands, marks;
  for (size_t i = 0; i < lanes.size(); i++) {
    bands += LaneBand(y, kLaneHeight, i % 2 == 0 ? "#f3f3f3" : "#ffffff");
    marks += StepLane(frame, y, *lanes[i]);
    y += kLaneHeight;
  }
  if (!sounds.empty()) y += 8;
  for (size_t i = 0; i < sounds.size(); i++) {
    bands += LaneBand(y, kSoundHeight, i % 2 == 0 ? "#fbf4e8" : "#ffffff");
    marks += SoundLane(frame, y, *sounds[i]);
    y += kSoundHeight;
  }
  double lanesTop = y - lanes.size() * kLaneHeight - sounds.size() * kSoundHeight - (sounds.empty() ? 0 : 8);
  body += bands + TimeGrid(frame, lanesTop, y) + marks;
  for (int64_t restart : plot.restarts) {
    double x = frame.X(restart);
    body += Line(x, kTop, x, y, "stroke=\"#555\" stroke-dasharray=\"4 3\"");
    body += Text(x + 3, kTop - 4, "initialize: clock restarts", " font-size=\"10\"");
  }
  body += TimeAxis(frame, y, !sounds.empty());

  double width = kLeft + kTimeWidth + kRight;
  double height = y + kBottom;
  std::string title = "velmora-play: " + plot.title + "   (" + std::to_string(plot.frames) + " frames, " +
                      Number(static_cast<double>(frame.end - frame.start) / 1000.0) + " s)";
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Number(width) + "\" height=\"" + Number(height) +
         "\" viewBox=\"0 0 " + Number(width) + " " + Number(height) +
         "\" font-family=\"DejaVu Sans, Arial, Helvetica, sans-serif\" font-size=\"12\">\n" +
         "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n" + Text(12, 28, title, " font-size=\"15\" font-weight=\"bold\"") +
         body + "</svg>\n";
}
