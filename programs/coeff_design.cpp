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

#include <cstdio>
#include <cstring>
#include <memory>
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

// A designer's tuner on the built-in design: each variable at the
// configure's default.
std::unique_ptr<Tuner> DesignerOf(const std::string& name) {
  if (name == "pelmora") return std::make_unique<PelmoraTuner>(kBuiltInPelmoraDesign);
  if (name == "tavrine") return std::make_unique<TavrineTuner>(kBuiltInTavrineDesign);
  return nullptr;
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
  const std::unique_ptr<Tuner> tuner = DesignerOf(request.designer);
  if (!tuner) return Fail("unknown designer " + request.designer + "; the designers are pelmora and tavrine.", 2);
  std::string names;
  const CoeffLayout* layout = request.layout.empty() ? nullptr : LayoutFor(*tuner, request.layout, &names);
  if (!request.layout.empty() && !layout) {
    return Fail("unknown layout " + request.layout + "; the layouts of " + tuner->Program() + "'s design are " +
                    names + ".",
                2);
  }
  const std::string refused = tuner->Configure(request.options);
  if (!refused.empty()) return Fail(refused, 2);
  if (layout) return WriteLayout(*tuner, *layout);
  const std::string failed = tuner->SaveTo(request.file);
  return failed.empty() ? 0 : Fail(failed, 1);
}
