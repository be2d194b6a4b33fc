// velmora-check: checks a Velmora.cfg the way the plug-in reads it and reports every doubtful line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "check/config_check.h"
#include "check/report_output.h"
#include "unicode_io.h"

namespace {

const char kUsage[] =
    "usage: velmora-check [--wiring] [--json] [--notches BRAKE,POWER] FILE.cfg\n"
    "       velmora-check --help\n";

const char kHelp[] =
    "velmora-check reads a Velmora configuration file with the plug-in's own reader, so it sees\n"
    "exactly what the plug-in sees, and reports what would go wrong, one line per finding:\n"
    "\n"
    "  FILE:LINE:COLUMN: warning: what (hint)\n"
    "  FILE:LINE:COLUMN: error: what (hint)\n"
    "  FILE: warning: what        (a finding about the file as a whole: defaults, the vehicle)\n"
    "\n"
    "It finds:\n"
    "  - lines that match no key (a typing mistake, another case, blanks before the key or\n"
    "    around '='), with the key that was probably meant;\n"
    "  - lines that match a key only by its beginning ('sifa' sets 'sifakey=' to 0);\n"
    "  - comments that start with '#' or '//' rather than ';';\n"
    "  - values that the reader cuts short: a letter, '+', '.', a blank after '=' or inside the\n"
    "    list, a comment after the values; values beyond 32 bits, which are held at the limit;\n"
    "    a '-' inside a value, which makes the whole value negative ('2-1' reads -21);\n"
    "  - further values given to a key that takes one; keys given twice (the later line wins);\n"
    "  - a byte-order mark at the start of the file; lines longer than 1022 characters;\n"
    "  - panel or sound elements outside 0 to 255, which stay unwired;\n"
    "  - two options on one panel or sound element, defaults included, and options on one of\n"
    "    the cab's fixed sound elements (an error: the cab's own writes override them);\n"
    "  - key numbers that reach several handlers, listed in the order they see the key (keys\n"
    "    left at their defaults only where their handlers show something with this file);\n"
    "  - negative key numbers, which the host never sends, and a key that a running system\n"
    "    needs in order to be driven set to -1: the Sifa key, the drive button while it is\n"
    "    the only way to power, the AWS acknowledge and TPWS reset keys in the modes that\n"
    "    use them, the vigilance key where only it resets or releases, the PZB key, the steam\n"
    "    and gear keys without an automatic key, and the wiper switch (a warning);\n"
    "  - times and speeds outside their option's plausible range, probably in another unit\n"
    "    (awsdelay=3 is 3 ms), named with the unit;\n"
    "  - overspeed speeds that contradict each other (safespeed must lie below warningspeed,\n"
    "    warningspeed at or below overspeed);\n"
    "  - values that switch their option off, and further values that are missing or mean\n"
    "    something else (fuelconsumption=0,..., gearloopsound without its delay, wipersound\n"
    "    with a further value other than 1);\n"
    "  - options that the mode of a running system never reads (the AWS options with\n"
    "    system=3, the diesel options with traction=1);\n"
    "  - options without effect: read by no operation, or read only by a system that does not\n"
    "    run (and options of systems that run only in part);\n"
    "  - run switches (runubahn=, runwipers=, ...) set to a value other than 0 or 1, which\n"
    "    counts as 1; a running system whose own switch keeps it idle (runvigilance=1 with\n"
    "    vigilance=0);\n"
    "  - beacon types that two running systems act on (with the U-Bahn cab and AWS/TPWS in\n"
    "    system=2: 44002 to 44004), and a fixed sound element of two running systems;\n"
    "  - a file that is not text at all.\n"
    "The checker follows the run switches as the plug-in does: with runubahn=0 the U-Bahn cab's\n"
    "options have no effect, and its keys, fixed keys and sounds and notch counts are not checked.\n"
    "Setting a key or element option to -1 switches it off and is reported only for a key that\n"
    "a running system needs in order to be driven. Long lists in findings name the first few; --wiring shows\n"
    "them all. Characters that a terminal would act on are shown escaped, as \\x07.\n"
    "\n"
    "Options:\n"
    "  --wiring  after the findings, print the running systems, every panel and sound element\n"
    "            in use with the options or fixed functions behind it, every key number with\n"
    "            its handlers and every beacon type with the running systems that act on it\n"
    "  --json    print the findings (and with --wiring the map) as one JSON object\n"
    "  --notches BRAKE,POWER\n"
    "            the vehicle's brake and power notch counts from the train's own files; a\n"
    "            vehicle with fewer notches than the U-Bahn cab uses loses every demand above its\n"
    "            top notch, and one without a power notch, or without the service brake notch\n"
    "            that the brake of the overspeed control or of neutralrvrbrake=1 takes, cannot be\n"
    "            driven with it; the checker says so\n"
    "  --help    print this text\n"
    "\n"
    "Exit status: 0 nothing found, 1 warnings only, 2 errors, or the file could not be read\n"
    "(missing, a folder, not readable), or wrong arguments.\n";

const int kExitUsage = 2;

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = ProgramArguments(argc, argv);
  bool wiring = false;
  bool json = false;
  const char* file = nullptr;
  VehicleNotches vehicle;
  for (size_t i = 1; i < arguments.size(); i++) {
    const char* argument = arguments[i].c_str();
    if (strcmp(argument, "--help") == 0 || strcmp(argument, "-h") == 0) {
      fputs(kHelp, stdout);
      return 0;
    }
    if (strcmp(argument, "--wiring") == 0) {
      wiring = true;
    } else if (strcmp(argument, "--json") == 0) {
      json = true;
    } else if (strcmp(argument, "--notches") == 0) {
      if (i + 1 == arguments.size() || !ParseNotches(arguments[i + 1].c_str(), &vehicle)) {
        PrintText(stderr, "velmora-check: --notches takes BRAKE,POWER, the vehicle's two notch counts as whole numbers from 0, for example --notches 8,8\n%s", kUsage);
        return kExitUsage;
      }
      i++;
    } else if (argument[0] == '-' && argument[1] != '\0') {
      PrintText(stderr, "velmora-check: unknown option '%s'\n%s", argument, kUsage);
      return kExitUsage;
    } else if (file != nullptr) {
      PrintText(stderr, "velmora-check: one file at a time\n%s", kUsage);
      return kExitUsage;
    } else {
      file = argument;
    }
  }
  if (file == nullptr) {
    PrintText(stderr, "velmora-check: no file given\n%s", kUsage);
    return kExitUsage;
  }
  const CheckReport report = CheckConfigFile(file, vehicle);
  PrintReadError(report, stderr);
  if (json) {
    PrintJson(report, wiring, stdout);
  } else {
    PrintFindings(report, stdout);
    if (wiring) PrintWiring(report, stdout);
  }
  return ExitStatus(report);
}
