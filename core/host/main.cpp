// tendix: the program a user runs.
//   tendix run EXPORT [--script FILE] [--out DIR] [--data DIR] [--set NAME=VALUE]... [--lib FILE]
//   tendix data import FILE... [--data DIR]
//   tendix data export FILE [--key KEY] [--format jsonl|csv] [--data DIR]
//   tendix sample DIR [--scale N]
#include <filesystem>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>

#include "core/globals.h"
#include "core/host/run.h"
#include "runtime/path/path.h"

#if TDX_HAVE_DATAIO
#include "core/dataio/dataio.h"
#endif
#if TDX_HAVE_SAMPLE
#include "core/sample/sample.h"
#endif

namespace {

std::string GlobalList() {
  std::string s;
  size_t col = 2;
  s += "  ";
  for (const tdx::core::GlobalName& g : tdx::core::globals()) {
    std::string n = g.name;
    if (col + n.size() + 1 > 98) {
      s += "\n  ";
      col = 2;
    }
    s += n + " ";
    col += n.size() + 1;
  }
  return s;
}

int InDataDir(const std::string& dir) {
  if (dir.empty()) return 0;
  tdx::Status s = tdx::change_dir(dir);
  if (!s.ok()) {
    std::cerr << "tendix: cannot work in " << dir << ": " << s.text() << "\n";
    return 2;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "tendix: runs the report procedures of the Tendix report module, moves records in and out "
      "of the data files, and writes sample data."};
  app.require_subcommand(1);
  app.footer(
      "Each command has its own --help.\n"
      "The data files (PRODUCT.DAT, MANUF.DAT, ...) and the settings file TENDIX.INI live in the\n"
      "data folder: the current directory, or --data DIR.");

  // ---- run ----
  tdx::host::RunOptions run;
  CLI::App* run_cmd = app.add_subcommand(
      "run",
      "Run one exported procedure of the report module (libtdxreports.so, loaded by name at run "
      "time) as the product would call it.");
  run_cmd->add_option("EXPORT", run.export_name,
                      "The procedure, e.g. PRODUCTLISTPRINT or DISTQUOTERPTMNU (any case). A "
                      "name the module does not export is an error that lists the ones it does.")
      ->required();
  run_cmd->add_option("--script", run.script,
                      "Answer the run from this script of user actions (docs/script.md). Without "
                      "it the actions are read from the terminal, one line whenever the run "
                      "waits for one. The transcript of what a person would see goes to "
                      "standard output.");
  run_cmd->add_option("--out", run.out_dir,
                      "Folder where previewed, printed and written pages land (made when "
                      "missing).");
  run_cmd->add_option("--data", run.data_dir,
                      "Working directory with the data files and TENDIX.INI (default: the "
                      "current directory).");
  run_cmd->add_option("--set", run.sets,
                      "NAME=VALUE: set a main-module global before the call, as the product's "
                      "own screens would have left it, e.g. --set Glo:Manufac=ACME for "
                      "PRODUCTLISTPRINT, --set GLO:Pellam=1 for brand wording. Repeatable. "
                      "Dates (BeginDate1 ...) take yyyy-mm-dd or mm/dd/yyyy.");
  run_cmd->add_option("--lib", run.library,
                      "The report module to load (default: $TDX_REPORTS_LIB, else "
                      "libtdxreports.so beside this program, in ../lib, in the build tree, or "
                      "on the loader's path).");
  run_cmd->footer(
      "Settings read at start from TENDIX.INI of the data folder: [Tendix] Pellam (brand "
      "wording),\n[Fax] AFEBase (the fax server's folder).\n"
      "When standard error is a terminal, a report run shows its progress window's title and\n"
      "percentage live there; the transcript on standard output stays clean.\n"
      "Exit status: 0 the run went through (completed or cancelled by the user), 1 the run "
      "failed\n(a question the script did not answer, a script line never used), 2 bad options.\n"
      "Globals for --set:\n" +
      GlobalList());

  // ---- data ----
  CLI::App* data_cmd =
      app.add_subcommand("data", "Move records in and out of the data files, by field names.");
  data_cmd->require_subcommand(1);
  std::vector<std::string> import_files;
  std::string data_dir;
  CLI::App* import_cmd = data_cmd->add_subcommand(
      "import",
      "Add the records of each FILE (JSON lines, each line naming its data file, or CSV "
      "with a header of field names such as PRD:MANUFAC) to the data files. All or nothing: "
      "the first bad line stops the import with its line number and nothing is stored. "
      "Dates are ISO dates, decimals and memos text (docs/data-io.md).");
  import_cmd->add_option("FILE", import_files, "Files to import.")->required();
  import_cmd->add_option("--data", data_dir, "The data folder (default: the current directory).");
  std::string export_file, export_key, export_format = "jsonl";
  CLI::App* export_cmd = data_cmd->add_subcommand(
      "export", "Write the records of one data file (PRODUCT, MANUF, ...) to standard output.");
  export_cmd->add_option("FILE", export_file, "The data file's label, e.g. PRODUCT.")->required();
  export_cmd->add_option("--key", export_key, "Write in this key's order (default: the file's first key; records that an "
                         "optional key leaves out come last).");
  export_cmd->add_option("--format", export_format, "jsonl (default) or csv.")
      ->check(CLI::IsMember({"jsonl", "csv"}));
  export_cmd->add_option("--data", data_dir, "The data folder (default: the current directory).");

  // ---- sample ----
  std::string sample_dir;
  int scale = 1;
  CLI::App* sample_cmd = app.add_subcommand(
      "sample",
      "Write a coherent sample data set (catalog, bids, letters, company) into DIR.");
  sample_cmd->add_option("DIR", sample_dir, "Folder to write into (made when missing).")->required();
  sample_cmd->add_option("--scale", scale, "Size factor: 1 is a small set (default 1).")
      ->check(CLI::PositiveNumber);

  CLI11_PARSE(app, argc, argv);

  if (run_cmd->parsed()) return tdx::host::Run(run);

  if (import_cmd->parsed() || export_cmd->parsed()) {
#if TDX_HAVE_DATAIO
    // FILE names are relative to where the command was given, not to the data folder.
    for (std::string& f : import_files) f = std::filesystem::absolute(f).string();
    if (int rc = InDataDir(data_dir)) return rc;
    tdx::Status s = import_cmd->parsed()
                        ? tdx::core::ImportFiles(import_files, std::cerr)
                        : tdx::core::ExportFile(export_file, export_key, export_format, std::cout);
    if (!s.ok()) {
      std::cerr << "tendix: " << s.text() << "\n";
      return 1;
    }
    return 0;
#else
    (void)InDataDir;
    std::cerr << "tendix: data import and export are not available in this build\n";
    return 2;
#endif
  }

  if (sample_cmd->parsed()) {
#if TDX_HAVE_SAMPLE
    tdx::Status s = tdx::core::WriteSample(sample_dir, scale, std::cerr);
    if (!s.ok()) {
      std::cerr << "tendix: " << s.text() << "\n";
      return 1;
    }
    return 0;
#else
    std::cerr << "tendix: sample data is not available in this build\n";
    return 2;
#endif
  }
  return 2;
}
