// Drawing a recorded trace as SVG: a speed chart and a pressure chart over a shared time axis,
// then one labelled lane per handle and watched panel element, then the sound lanes with marks.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "harness/trace_plot.h"

const double kTimeWidth = 1000;    // px of the time axis
const double kLeft = 180;          // px left of the time axis: lane names and value scales
const double kRight = 60;          // px right of the time axis: the lanes' value ranges
const double kTopAxis = 66;        // px from the top to the upper time axis, under the two title lines
const double kMarkRow = 15;        // px of one row of the events strip
const int kMarkRows = 4;           // keys, beacons, host calls, expect lines
const double kBottom = 74;         // px below the last lane: time axis and the key to the marks
const double kFitHeight = 880;     // px a plot shrinks its blocks to fit, so a 1400x900 window shows it whole
const double kCharWidth = 6.5;     // px of one character of a value label
const double kTextGap = 4;         // px between two value labels
const int kTickTarget = 10;        // about this many ticks on an axis
const double kShortestLoop = 6;    // px of the bar of a loop however short, so that it shows
const int kStripFont = 9;          // px of the events strip's labels
const double kStripCharWidth = 6;  // px of one character of such a label, wide ones included
const double kMarkHalf = 5.5;      // px from a mark's centre to its box's edge
const double kLabelGap = 6;        // px from a mark's centre to its label

// The heights of the plot's blocks: as drawn when they fit, squeezed when the lanes are many.
struct Heights {
  double chart;  // px of the speed and the pressure chart
  double lane;   // px of a step lane
  double sound;  // px of a sound lane
  double gap;    // px between two blocks
};
const Heights kRoomy = {150, 34, 24, 26};
const Heights kTight = {90, 20, 16, 12};

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

// A round step (1, 2 or 5 times a power of ten) that splits range into about target parts.
static double TickStep(double range, int target = kTickTarget) {
  if (!(range > 0) || !std::isfinite(range)) return 1;
  double raw = range / target;
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

static std::string Path(const std::string& d, const char* colour, const char* width = "1.5", const char* dash = "") {
  if (d.empty()) return std::string();
  std::string dashes = *dash ? std::string(" stroke-dasharray=\"") + dash + "\"" : std::string();
  return "<path d=\"" + d.substr(1) + "\" fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"" + width +
         "\" stroke-linejoin=\"round\"" + dashes + "/>\n";
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
// One line of a chart and how it is drawn.
struct ChartLine {
  const std::vector<PlotPoint>* points;
  std::string name;   // for the chart's legend; empty for a chart of one line
  const char* colour;
  const char* width;  // stroke width
  const char* dash;   // stroke-dasharray, or "" for a solid line
};

static std::string Chart(const Frame& frame, double top, double height, const std::string& title,
                         const std::string& unit, const std::vector<ChartLine>& lines, bool steps) {
  std::vector<const std::vector<PlotPoint>*> series;
  for (const ChartLine& line : lines) series.push_back(line.points);
  double lo = 0, hi = 0;
  Range(series, &lo, &hi);
  if (!steps) lo = std::min(lo, 0.0);
  if (!std::isfinite(hi - lo)) hi = lo + 1;  // a span beyond a double: no useful scale anyway
  // A value label every 15 px at the closest, so a squeezed chart keeps readable labels.
  double step = TickStep(hi - lo, std::max(2, std::min(kTickTarget, static_cast<int>(height / 15))));
  lo = std::floor(lo / step) * step;
  hi = std::max(lo + step, std::ceil(hi / step) * step);
  Scale scale = {lo, hi, top, top + height};
  std::string svg = "<g>\n" + TimeGrid(frame, top, top + height);
  for (int k = 0; k <= 4 * kTickTarget && lo + k * step <= hi + step / 2; k++) {
    double v = lo + k * step;
    double y = scale.Y(v);
    svg += Line(kLeft, y, kLeft + kTimeWidth, y, "stroke=\"#e4e4e4\"");
    char label[32];
    snprintf(label, sizeof label, "%g", v);
    svg += Text(kLeft - 6, y + 4, label, " text-anchor=\"end\" font-size=\"11\"");
  }
  svg += "<rect x=\"" + Number(kLeft) + "\" y=\"" + Number(top) + "\" width=\"" + Number(kTimeWidth) + "\" height=\"" +
         Number(height) + "\" fill=\"none\" stroke=\"#999\"/>\n";
  svg += Text(12, top + 16, title, " font-weight=\"bold\"");
  svg += Text(12, top + 32, "(" + unit + ")", " font-size=\"11\"");
  for (size_t i = 0; i < lines.size(); i++) {
    const ChartLine& line = lines[i];
    svg += Path(PathData(*line.points, frame, scale, steps), line.colour, line.width, line.dash);
    if (!line.name.empty()) {
      double y = top + 40 + 14 * i;
      svg += Line(12, y, 24, y, (std::string("stroke=\"") + line.colour + "\" stroke-width=\"" + line.width + "\"" +
                                 (*line.dash ? std::string(" stroke-dasharray=\"") + line.dash + "\"" : std::string()))
                                    .c_str());
      svg += Text(28, y + 4, line.name, " font-size=\"11\"");
    }
  }
  return svg + "</g>\n";
}

// A step lane: the values of one series over time, with the value written where it changes.
static std::string StepLane(const Frame& frame, double top, double height, const PlotSeries& series) {
  double lo = 0, hi = 0;
  Range({&series.points}, &lo, &hi);
  bool constant = !(hi > lo);
  if (constant || !std::isfinite(hi - lo)) hi = lo + 1;
  Scale scale = {lo, hi, top + height * 0.45, top + height - 4};
  std::string svg = "<g>\n";
  svg += Text(kLeft - 8, top + height / 2 + 4, series.label, " text-anchor=\"end\"");
  svg += Path(PathData(series.points, frame, scale, true), "#1f5fbf");
  // The lane's span at its right end, so that a pulse too short for a label still reads.
  char span[64];
  snprintf(span, sizeof span, constant ? "%.0f" : "%.0f..%.0f", lo, hi);
  svg += Text(kLeft + kTimeWidth + 6, top + height / 2 + 4, span, " font-size=\"10\" fill=\"#777\"");
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
    svg += Text(x + 2, top + std::min(12.0, height * 0.45), value, " font-size=\"10\" fill=\"#333\"");
    freeFrom = x + room;
  }
  return svg + "</g>\n";
}

// A sound lane: a bar while the sound loops, a triangle where it is started to play once, a
// cross where it is stopped, a dot with the number for any other value. A play-once sound the
// host has started (kSoundStarted) goes on without a mark of its own. Within one pixel column a
// start or a loop wins over a stop, and a loop however short is a bar wide enough to be seen.
static std::string SoundLane(const Frame& frame, double top, double height, const PlotSeries& series) {
  double middle = top + height / 2;
  std::string svg = "<g>\n";
  svg += Text(kLeft - 8, middle + 4, series.label, " text-anchor=\"end\"");
  svg += Line(kLeft, middle, kLeft + kTimeWidth, middle, "stroke=\"#ddd\"");
  double lastColumn = -1;
  bool columnMarked = false, columnPlayed = false;  // the last marked column has a mark, a start
  for (size_t i = 0; i < series.points.size(); i++) {
    const PlotPoint& point = series.points[i];
    double x = frame.X(point.time);
    int value = static_cast<int>(point.value);
    if (i == 0 && value == SOUND_STOP) continue;  // silent from the start: nothing to mark
    if (value == kSoundStarted) continue;         // the start is marked already
    if (std::round(x) != lastColumn) columnMarked = columnPlayed = false;
    // One mark per pixel column is all that shows, but a start is never hidden behind another
    // mark, and a loop's bar may reach far beyond its column.
    if (value == SOUND_PLAY ? columnPlayed : value != SOUND_LOOP && columnMarked) continue;
    lastColumn = std::round(x);
    columnMarked = true;
    columnPlayed = columnPlayed || value == SOUND_PLAY;
    if (value == SOUND_LOOP) {
      double end = i + 1 < series.points.size() ? frame.X(series.points[i + 1].time) : frame.X(frame.end);
      svg += "<rect x=\"" + Number(x) + "\" y=\"" + Number(middle - 4) + "\" width=\"" +
             Number(std::max(kShortestLoop, end - x)) + "\" height=\"8\" fill=\"#d35400\"/>\n";
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

// A time axis: the line with its ticks and labels in seconds, below the line (bottom) or above it.
static std::string TimeAxis(const Frame& frame, double y, bool below) {
  std::string svg = Line(kLeft, y, kLeft + kTimeWidth, y, "stroke=\"#333\"");
  for (double t : TimeTicks(frame)) {
    double x = frame.X(static_cast<int64_t>(t));
    svg += Line(x, y, x, below ? y + 5 : y - 5, "stroke=\"#333\"");
    char label[32];
    snprintf(label, sizeof label, "%g", t / 1000.0);
    svg += Text(x, below ? y + 18 : y - 8, label, " text-anchor=\"middle\" font-size=\"11\"");
  }
  svg += Text(below ? kLeft + kTimeWidth / 2 : kLeft - 8, below ? y + 36 : y - 8, "time (s)",
              below ? " text-anchor=\"middle\"" : " text-anchor=\"end\" font-size=\"11\"");
  return svg;
}

static const char kKeyDownColour[] = "#1f5fbf";
static const char kBeaconColour[] = "#8e44ad";
static const char kHostCallColour[] = "#555555";
static const char kMetColour[] = "#2e8b57";
static const char kFailedColour[] = "#c0392b";

// The shape of a mark centred at x, y.
static std::string MarkShape(PlotMarkKind kind, double x, double y) {
  switch (kind) {
    case kMarkKeyDown:
      return "<path d=\"M" + Number(x - 5) + " " + Number(y - 4) + " l10 0 l-5 9 Z\" fill=\"" + kKeyDownColour + "\"/>";
    case kMarkKeyUp:
      return "<path d=\"M" + Number(x - 5) + " " + Number(y + 5) + " l10 0 l-5 -9 Z\" fill=\"#ffffff\" stroke=\"" +
             kKeyDownColour + "\" stroke-width=\"1.3\"/>";
    case kMarkBeacon:
      return "<path d=\"M" + Number(x) + " " + Number(y - 5) + " l5 5 l-5 5 l-5 -5 Z\" fill=\"" + kBeaconColour + "\"/>";
    case kMarkHostCall:
      return "<rect x=\"" + Number(x - 3.5) + "\" y=\"" + Number(y - 3.5) + "\" width=\"7\" height=\"7\" fill=\"" +
             kHostCallColour + "\"/>";
    case kMarkExpectMet:
      return "<circle cx=\"" + Number(x) + "\" cy=\"" + Number(y) + "\" r=\"3.5\" fill=\"" + kMetColour + "\"/>";
    case kMarkExpectFailed:
      return "<path d=\"M" + Number(x - 4) + " " + Number(y - 4) + " l8 8 M" + Number(x - 4) + " " + Number(y + 4) +
             " l8 -8\" stroke=\"" + kFailedColour + "\" stroke-width=\"2.5\"/>";
  }
  return std::string();
}

// The row of the events strip a mark goes in.
static int MarkRow(PlotMarkKind kind) {
  switch (kind) {
    case kMarkKeyDown:
    case kMarkKeyUp:
      return 0;
    case kMarkBeacon:
      return 1;
    case kMarkHostCall:
      return 2;
    case kMarkExpectMet:
    case kMarkExpectFailed:
      return 3;
  }
  return 2;
}

// Whether a label from left to right would cover a mark of its row other than its own: the
// row's mark centres, in order, lie within reach of it. Rows are further apart than a label is
// high, so only marks of its own row can lie under it.
static bool CoversAMark(const std::vector<double>& rowMarks, double own, double left, double right) {
  auto from = std::lower_bound(rowMarks.begin(), rowMarks.end(), left - kMarkHalf);
  for (auto at = from; at != rowMarks.end() && *at < right + kMarkHalf; ++at) {
    if (*at != own) return true;
  }
  return false;
}

// The events strip: one row each for keys, beacons, other host calls and expect lines, every
// mark with its whole story for the pointer. A label stands right of its mark, or else left of
// it, where it covers neither another mark nor another label; else only the pointer tells it. A failed expect line also
// gets a red line down through the whole plot, to bottom.
static std::string EventsStrip(const Frame& frame, double top, double bottom, const std::vector<PlotMark>& marks) {
  const char* names[kMarkRows] = {"keys", "beacons", "host calls", "expect lines"};
  std::string svg = "<g>\n";
  for (int r = 0; r < kMarkRows; r++) {
    double y = top + kMarkRow * (r + 0.5);
    svg += Text(kLeft - 8, y + 4, names[r], " text-anchor=\"end\" font-size=\"11\" fill=\"#555\"");
    svg += Line(kLeft, y, kLeft + kTimeWidth, y, "stroke=\"#eeeeee\"");
  }
  // Every mark's place first, so that a label can keep clear of marks drawn after it.
  std::vector<double> xs;
  std::vector<std::vector<double>> rowMarks(kMarkRows);
  for (const PlotMark& mark : marks) {
    double x = frame.X(std::max(frame.start, std::min(frame.end, mark.time)));
    xs.push_back(x);
    rowMarks[MarkRow(mark.kind)].push_back(x);
  }
  for (std::vector<double>& row : rowMarks) std::sort(row.begin(), row.end());
  // Labels go left to right, each row's after the last one placed in it.
  std::vector<size_t> order(marks.size());
  for (size_t i = 0; i < order.size(); i++) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return xs[a] < xs[b]; });
  std::vector<double> labelAt(marks.size(), -1);  // px where a mark's label starts; -1 for none
  double freeFrom[kMarkRows] = {-1e9, -1e9, -1e9, -1e9};  // px where the next label of a row may start
  const double widest = kLeft + kTimeWidth + kRight;       // px where the picture ends
  for (size_t i : order) {
    int row = MarkRow(marks[i].kind);
    double width = marks[i].label.size() * kStripCharWidth;
    // Right of the mark, or else left of it, where the row is free.
    for (double left : {xs[i] + kLabelGap, xs[i] - kLabelGap - width}) {
      double right = left + width;
      if (left < freeFrom[row] || left < kLeft || right > widest || CoversAMark(rowMarks[row], xs[i], left, right)) {
        continue;
      }
      labelAt[i] = left;
      freeFrom[row] = right + kTextGap;
      break;
    }
  }
  for (size_t i = 0; i < marks.size(); i++) {
    const PlotMark& mark = marks[i];
    double x = xs[i];
    double y = top + kMarkRow * (MarkRow(mark.kind) + 0.5);
    if (mark.kind == kMarkExpectFailed) {
      svg += Line(x, y, x, bottom, "stroke=\"#c0392b\" stroke-width=\"1\" stroke-dasharray=\"3 3\"");
    }
    svg += "<g><title>" + Escape(mark.detail) + "</title>" + MarkShape(mark.kind, x, y) + "</g>\n";
    if (labelAt[i] >= 0) {
      const char* colour = mark.kind == kMarkExpectFailed ? kFailedColour : "#333";
      svg += Text(labelAt[i], y + 3.5, mark.label,
                  (" font-size=\"" + std::to_string(kStripFont) + "\" fill=\"" + colour + "\"").c_str());
    }
  }
  return svg + "</g>\n";
}

// The key to the marks, under the bottom time axis.
static std::string MarksKey(double y, bool sounds) {
  std::string svg;
  double k = y;
  if (sounds) {
    svg += Text(kLeft, k, "sound marks:", " font-size=\"11\"");
    svg += "<path d=\"M" + Number(kLeft + 84) + " " + Number(k) + " l10 0 l-5 -11 Z\" fill=\"#2e8b57\"/>\n";
    svg += Text(kLeft + 100, k, "started, to play once", " font-size=\"11\"");
    svg += "<rect x=\"" + Number(kLeft + 230) + "\" y=\"" + Number(k - 8) + "\" width=\"20\" height=\"8\" fill=\"#d35400\"/>\n";
    svg += Text(kLeft + 256, k, "looping", " font-size=\"11\"");
    svg += Line(kLeft + 312, k - 9, kLeft + 320, k - 1, "stroke=\"#c0392b\" stroke-width=\"2\"");
    svg += Line(kLeft + 312, k - 1, kLeft + 320, k - 9, "stroke=\"#c0392b\" stroke-width=\"2\"");
    svg += Text(kLeft + 326, k, "stopped", " font-size=\"11\"");
    k += 18;
  }
  struct Entry {
    PlotMarkKind kind;
    const char* words;
  };
  const Entry entries[] = {{kMarkKeyDown, "key down"},          {kMarkKeyUp, "key up"},
                           {kMarkBeacon, "beacon"},             {kMarkHostCall, "other host call"},
                           {kMarkExpectMet, "expect line met"}, {kMarkExpectFailed, "expect line failed"}};
  svg += Text(kLeft, k, "event marks:", " font-size=\"11\"");
  double x = kLeft + 84;
  for (const Entry& entry : entries) {
    svg += MarkShape(entry.kind, x + 5, k - 4) + "\n";
    svg += Text(x + 14, k, entry.words, " font-size=\"11\"");
    x += 14 + std::strlen(entry.words) * kCharWidth + 16;
  }
  return svg;
}

// The blocks' heights: roomy when the whole plot fits kFitHeight, else squeezed evenly towards
// kTight, just as much as it takes.
static Heights FitHeights(double fixed, int charts, int lanes, int sounds) {
  auto total = [&](const Heights& h) { return fixed + charts * (h.chart + h.gap) + lanes * h.lane + sounds * h.sound; };
  double roomy = total(kRoomy), tight = total(kTight);
  if (roomy <= kFitHeight) return kRoomy;
  double share = roomy > tight ? std::min(1.0, (roomy - kFitHeight) / (roomy - tight)) : 1.0;
  auto between = [&](double a, double b) { return a - share * (a - b); };
  return {between(kRoomy.chart, kTight.chart), between(kRoomy.lane, kTight.lane), between(kRoomy.sound, kTight.sound),
          between(kRoomy.gap, kTight.gap)};
}

std::string TracePlotSvg(const TracePlot& plot) {
  Frame frame = {0, 1000};
  if (!plot.speed.empty()) {
    frame.start = plot.speed.front().time;
    frame.end = std::max(plot.lastTime, frame.start + 1);
  }
  // The supply pipe goes first, wide and dashed, so that the brake pipe drawn over it shows where
  // both stand at the same pressure.
  std::vector<ChartLine> pressures;
  std::vector<const PlotSeries*> lanes = {&plot.brake, &plot.power, &plot.reverser};
  std::vector<const PlotSeries*> sounds;
  for (size_t i = 0; i < plot.watched.size(); i++) {
    const PlotSeries& series = plot.watched[i];
    if (plot.places[i] == kPlaceSupply) {
      pressures.insert(pressures.begin(), {&series.points, series.label, "#e67e22", "3.5", "7 4"});
    } else if (plot.places[i] == kPlaceBrakePipe) {
      pressures.push_back({&series.points, series.label, "#1f5fbf", "1.5", ""});
    } else if (plot.places[i] == kPlaceSound) {
      sounds.push_back(&series);
    } else {
      lanes.push_back(&series);
    }
  }
  double stripTop = kTopAxis + 4;
  double chartsTop = stripTop + kMarkRows * kMarkRow + 8;
  int charts = pressures.empty() ? 1 : 2;
  Heights h = FitHeights(chartsTop + (sounds.empty() ? 0 : 8) + kBottom + (sounds.empty() ? 0 : 18), charts,
                         static_cast<int>(lanes.size()), static_cast<int>(sounds.size()));

  std::string body;
  double y = chartsTop;
  body += Chart(frame, y, h.chart, "speed", "km/h", {{&plot.speed, "", kColours[0], "1.5", ""}}, false);
  y += h.chart + h.gap;
  if (!pressures.empty()) {
    body += Chart(frame, y, h.chart, "pressure", "kPa", pressures, true);
    y += h.chart + h.gap;
  }
  // The lanes' bands first, then the grid over them, then what the lanes show.
  double lanesTop = y;
  std::string bands, marks;
  for (size_t i = 0; i < lanes.size(); i++) {
    bands += LaneBand(y, h.lane, i % 2 == 0 ? "#f3f3f3" : "#ffffff");
    marks += StepLane(frame, y, h.lane, *lanes[i]);
    y += h.lane;
  }
  if (!sounds.empty()) y += 8;
  for (size_t i = 0; i < sounds.size(); i++) {
    bands += LaneBand(y, h.sound, i % 2 == 0 ? "#fbf4e8" : "#ffffff");
    marks += SoundLane(frame, y, h.sound, *sounds[i]);
    y += h.sound;
  }
  body += bands + TimeGrid(frame, lanesTop, y) + marks;
  for (int64_t restart : plot.restarts) {
    double x = frame.X(restart);
    body += Line(x, stripTop, x, y, "stroke=\"#555\" stroke-dasharray=\"4 3\"");
    body += Text(x + 3, chartsTop + 12, "initialize: clock restarts", " font-size=\"10\"");
  }
  body += EventsStrip(frame, stripTop, y, plot.marks);
  body += TimeAxis(frame, kTopAxis, false);
  body += TimeAxis(frame, y, true);
  body += MarksKey(y + 56, !sounds.empty());

  double width = kLeft + kTimeWidth + kRight;
  double height = y + kBottom + (sounds.empty() ? 0 : 18);
  std::string title = "velmora-play: " + plot.title + "   (" + std::to_string(plot.frames) + " frames, " +
                      Number(static_cast<double>(frame.end - frame.start) / 1000.0) + " s)";
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Number(width) + "\" height=\"" + Number(height) +
         "\" viewBox=\"0 0 " + Number(width) + " " + Number(height) +
         "\" font-family=\"DejaVu Sans, Arial, Helvetica, sans-serif\" font-size=\"12\">\n" +
         "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n" +
         Text(12, 22, title, " font-size=\"15\" font-weight=\"bold\"") + Text(12, 40, plot.configuration) + body +
         "</svg>\n";
}
