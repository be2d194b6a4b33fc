// What a beacon means to the cab systems that read it, in a few words for the plot's label:
// "PZB 1000 Hz", "AWS caution", "TPWS train stop", "power gap 60 m".
#include <string>
#include <vector>

#include "config/option_kinds.h"
#include "harness/trace_plot.h"

namespace {

const int kPzbClearAspect = 4;       // Signal of a PZB signal magnet at clear
const int kAwsClearAbove = 3;        // an AWS magnet's Signal above it rings the clear bell
const int kFuellingZoneEntry = 1;    // Optional of the beacon at a fuelling zone's entry

std::string Number(int32_t value) { return std::to_string(value); }

// The meaning to one cab system; empty when the system does not read the type.
std::string MeaningTo(CabSystem system, int32_t type, int32_t signal, int32_t optional) {
  switch (system) {
    case SYS_UBAHN:
      if (type == 23) return optional == 1 ? "platform right" : optional == 2 ? "platform left" : "platform side ?";
      if (type == 24) return "doors open at start";
      if (type == 25) return "passengers " + Number(optional);
      if (type == 26) return "rail joint";
      if (type == 27) return "destination " + Number(optional);
      if (type == 28) return optional != 0 ? "fast curve" : "fast curve ends";
      if (type == 29) return optional != 0 ? "slow curve" : "slow curve ends";
      if (type == 30 || type == 31) return "beacon sound";
      if (type == 44002 || type == 44003) return signal == 0 ? "trip point at stop" : "trip point";
      if (type == 44004) return "emergency trip point " + Number(optional) + " km/h";
      return std::string();
    case SYS_AWS_TPWS:
      if (type == 44000) return signal > kAwsClearAbove ? "AWS clear" : "AWS caution";
      if (type == 44001) return "AWS caution, permanent";
      if (type == 44002) return signal <= 0 ? "TPWS overspeed at danger" : "TPWS overspeed, signal off";
      if (type == 44003) return signal <= 0 ? "TPWS train stop" : "TPWS train stop, signal off";
      if (type == 44004) return "TPWS overspeed " + Number(optional) + " km/h";
      return std::string();
    case SYS_PZB90:
      if (type == 49000) {
        if (signal == kPzbClearAspect) return optional != 0 ? "PZB clear, ends 1000 Hz" : "PZB clear";
        if (optional != 0) return "PZB 1000 Hz";
        if (signal == 0) return "PZB 2000 Hz";
        return "PZB 500 Hz";
      }
      if (type == 49001) return optional == 0 ? "PZB warning" : "PZB speed check";
      return std::string();
    case SYS_POWER:
      if (type == 20) return optional != 0 ? "power gap " + Number(optional) + " m" : "power gap 0 m";
      return std::string();
    case SYS_WIPERS:
      if (type == 21) return "rain " + Number(optional);
      return std::string();
    case SYS_TRACTION:
      if (type == 22) return optional == kFuellingZoneEntry ? "fuelling zone" : "fuelling zone ends";
      return std::string();
    case SYS_MISC:
      if (type == 23) return optional == 1 ? "door lamp right" : optional == 2 ? "door lamp left" : "door lamp ?";
      return std::string();
    default:
      return std::string();
  }
}

}  // namespace

std::string BeaconMeaning(int32_t type, int32_t signal, int32_t optional, const std::vector<bool>& running) {
  // Said by the systems that run, or else by every system that knows the type.
  std::vector<std::string> said, known;
  for (int s = 0; s < CAB_SYSTEM_COUNT; s++) {
    const CabSystem system = static_cast<CabSystem>(s);
    std::string meaning = MeaningTo(system, type, signal, optional);
    if (meaning.empty()) continue;
    // A platform side read by both the U-Bahn cab and the door lamps is said once.
    if (system == SYS_MISC && !known.empty()) continue;
    known.push_back(meaning);
    if (static_cast<size_t>(s) < running.size() && running[s]) said.push_back(meaning);
  }
  const std::vector<std::string>& words = said.empty() ? known : said;
  if (words.empty()) return "beacon " + Number(type);
  std::string text;
  for (size_t i = 0; i < words.size(); i++) text += (i > 0 ? " / " : "") + words[i];
  return text;
}
