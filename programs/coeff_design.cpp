// coeff-design pelmora|tavrine [-o FILE] [--layout LAYOUT] OPTION...: a
// designer's design from configure options (-DPELMORA_TYPE=low-pass, or
// PELMORA_TYPE=low-pass), without a window. The options are read as the
// configure reads them, each variable not given at the configure's
// default, and a design that the limits refuse is refused with the
// configure's line. The design's file is written as the designer
// configured with the options writes it (coeff1.txt, or FILE), replaced
// whole as the designer replaces it; with --layout, the design is written
// on standard output in that layout (coeff/coeff_layout.h), from its
// single-precision values in full, and no file.
//
// Exit statuses: 0 written, or --help; 1 the file or standard output
// cannot be written; 2 a usage fault, an unknown designer or layout, or
// an option refused. Every message goes to standard error; on success
// nothing is printed but the layout asked for.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "coeff/coeff_layout.h"
#include "fir/tavrine_tuning.h"
#include "iir/pelmora_tuning.h"

namespace {

const char kUsage[] = "usage: coeff-design pelmora|tavrine [-o FILE] [--layout LAYOUT] OPTION...\n";

// What the command line asks for.
struct Request {
  std::string designer;
  std::string file = "coeff1.txt";
  bool file_given = false;
  std::string layout;  // "" for the design's file
  std::vector<std::string> options;
};

// Reads the command line after the program's name; false if it does not
// follow the usage line.
bool ReadRequest(int argc, char* argv[], Request* request) {
  if (argc < 2 || argv[1][0] == '-') return false;
  request->designer = argv[1];
  bool layout_given = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-o" || arg == "--layout") {
      if (i + 1 == argc) return false;
      (arg == "-o" ? request->file_given : layout_given) = true;
      (arg == "-o" ? request->file : request->layout) = argv[++i];
    } else if (arg.rfind("--layout=", 0) == 0) {
      layout_given = true;
      request->layout = arg.substr(std::strlen("--layout="));
    } else {
      request->options.push_back(arg);
    }
  }
  // A layout goes to standard output only, and names one.
  return !(layout_given && (request->file_given || request->layout.empty()));
}

// A designer's tuner on the built-in design, and the configure's default
// of each variable as the configure is given it.
struct Designer {
  std::unique_ptr<Tuner> tuner;
  std::map<std::string, std::string> presets;
};

template <typename Parameter, size_t n>
std::map<std::string, std::string> PresetsOf(const Parameter (&parameters)[n]) {
  std::map<std::string, std::string> presets;
  for (const Parameter& parameter : parameters)
    if (parameter.variable && parameter.preset) presets[parameter.variable] = parameter.preset;
  return presets;
}

Designer DesignerOf(const std::string& name) {
  if (name == "pelmora") return {std::make_unique<PelmoraTuner>(kBuiltInPelmoraDesign), PresetsOf(kPelmoraParameters)};
  if (name == "tavrine") return {std::make_unique<TavrineTuner>(kBuiltInTavrineDesign), PresetsOf(kTavrineParameters)};
  return {};
}

// The configure's line of a refusal by a limit goes on to the values of
// the other variables that the limit names, in the order named, each as
// given (the last time) or its default: "..., with PELMORA_FSAMP =
// 22050". The tuner's line stops before them; a line about a value's
// form names no variables, and stays as it is.
std::string ConfigureLine(const std::string& refused, const std::vector<std::string>& options,
                          std::map<std::string, std::string> values) {
  const std::string name = refused.substr(0, refused.find(" = "));
  const size_t allowed = refused.find(": not allowed; allowed ");
  if (allowed == std::string::npos) return refused;
  for (std::string option : options) {
    if (option.rfind("-D", 0) == 0) option.erase(0, 2);
    const size_t equals = option.find('=');
    if (equals != std::string::npos) values[option.substr(0, equals)] = option.substr(equals + 1);
  }
  static const std::regex variable("[A-Z]+_[A-Z0-9_]+");
  std::vector<std::string> named;
  std::string with;
  for (std::sregex_iterator it(refused.begin() + long(allowed), refused.end(), variable), end; it != end; ++it) {
    const std::string other = it->str();
    if (other == name || !values.count(other) || std::find(named.begin(), named.end(), other) != named.end()) continue;
    named.push_back(other);
    with += (with.empty() ? ", with " : ", ") + other + " = " + values[other];
  }
  return refused + with;
}

int Fail(const std::string& line, int status) {
  std::fprintf(stderr, "coeff-design: %s\n", line.c_str());
  return status;
}

// The layout of that name that takes the designer's kind of file, or null.
const CoeffLayout* LayoutFor(const Tuner& tuner, const std::string& name, std::string* names) {
  const CoeffLayout* found = nullptr;
  for (const CoeffLayout* layout : CoeffLayoutsOf(tuner.Kind())) {
    *names += (names->empty() ? "" : ", ") + std::string(layout->name);
    if (name == layout->name) found = layout;
  }
  return found;
}

int WriteLayout(const Tuner& tuner, const CoeffLayout& layout) {
  const std::string text = tuner.ExportText(layout);
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    return Fail("standard output cannot be written.", 1);
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::printf(
          "%sDesigns pelmora's or tavrine's filter from configure options (-DNAME=VALUE, or NAME=VALUE), each\n"
          "variable not given at the configure's default, and writes the design's file as the designer built\n"
          "with those options writes it: coeff1.txt, or FILE. With --layout, writes the design on standard\n"
          "output in LAYOUT for DSP code instead (LAYOUT: %s).\n",
          kUsage, CoeffLayoutNames().c_str());
      return 0;
    }
  }
  Request request;
  if (!ReadRequest(argc, argv, &request)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const Designer designer = DesignerOf(request.designer);
  const std::unique_ptr<Tuner>& tuner = designer.tuner;
  if (!tuner) return Fail("unknown designer " + request.designer + "; the designers are pelmora and tavrine.", 2);
  std::string names;
  const CoeffLayout* layout = request.layout.empty() ? nullptr : LayoutFor(*tuner, request.layout, &names);
  if (!request.layout.empty() && !layout) {
    return Fail("unknown layout " + request.layout + "; the layouts of " + tuner->Program() + "'s design are " +
                    names + ".",
                2);
  }
  const std::string refused = tuner->Configure(request.options);
  if (!refused.empty()) return Fail(ConfigureLine(refused, request.options, designer.presets), 2);
  if (layout) return WriteLayout(*tuner, *layout);
  const std::string failed = tuner->SaveTo(request.file);
  return failed.empty() ? 0 : Fail(failed, 1);
}
