#include "app/cli/command_line.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <functional>
#include <optional>
#include <sstream>

#include "base/file_ops.h"
#include "base/text.h"
#include "app/commands.h"
#include "packages/sim_tree.h"
#include "packages/tree_checks.h"
#include "support/immutable_flag.h"

namespace pw {
namespace {

using test::SimTree;

struct CliRun { int status; std::string out, err; };

CliRun run_cli(SimTree& t, std::vector<std::string> args) {
  std::ostringstream out, err;
  // As the platform gives them: in the one form (normal_path).
  CommandLineEnvironment env{native_file_system(), normal_path(t.ctx.state.program_folder), normal_path(t.dir.path()),
                             out, err, ""};
  const int status = run_command_line(args, env);
  return {status, out.str(), err.str()};
}

std::string write_rcf(SimTree& t, const std::string& extra = "") {
  t.dir.write("c172.rcf", "folder=SimObjects\\Airplanes\\C172\r\ntitle=Cessna 172\r\n" + extra);
  return "c172.rcf";
}

// Flattens one JSON document into "path" -> value ("entries.0.title"),
// strings unescaped, other values as written, empty containers as "[]" or
// "{}"; nullopt for anything that is not one well-formed document.
class FlatJson {
 public:
  static std::optional<std::map<std::string, std::string>> parse(std::string_view text) {
    FlatJson p{text};
    if (!p.value("") || (p.skip(), p.at_ < text.size())) return std::nullopt;
    return p.flat_;
  }

 private:
  explicit FlatJson(std::string_view text) : text_(text) {}
  void skip() { while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_; }
  bool eat(char c) { return skip(), at_ < text_.size() && text_[at_] == c && ++at_; }
  bool string(std::string& out) {
    if (!eat('"')) return false;
    for (char c; at_ < text_.size() && (c = text_[at_++]) != '"'; out += c) {
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\' || at_ >= text_.size()) continue;
      const std::size_t e = std::string_view("\"\\/bfnrtu").find(text_[at_++]);
      if (e == std::string_view::npos || (e == 8 && at_ + 4 > text_.size())) return false;
      // \uXXXX: ASCII is enough here
      c = e < 8 ? "\"\\/\b\f\n\r\t"[e] : static_cast<char>(std::stoi(std::string(text_.substr(at_, 4)), nullptr, 16));
      if (e == 8) at_ += 4;
    }
    return text_[at_ - 1] == '"';
  }
  template <class Member>
  bool members(char close, const std::string& path, Member member) {
    if (eat(close)) return flat_[path] = close == '}' ? "{}" : "[]", true;
    int n = 0;
    do {
      if (!member(path.empty() ? "" : path + ".", n++)) return false;
    } while (eat(','));
    return eat(close);
  }
  bool value(const std::string& path) {
    if (eat('{')) {
      return members('}', path, [this](const std::string& prefix, int) {
        std::string key;
        return string(key) && eat(':') && value(prefix + key);
      });
    }
    if (eat('[')) return members(']', path, [this](const std::string& prefix, int n) { return value(prefix + std::to_string(n)); });
    skip();
    std::string v;
    if (at_ < text_.size() && text_[at_] == '"') return string(v) && (flat_[path] = v, true);
    while (at_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[at_])) || text_[at_] == '-')) v += text_[at_++];
    return !v.empty() && (flat_[path] = v, true);
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::map<std::string, std::string> flat_;
};

TEST(CommandLine, ListPrintsEveryEntryRemoveRefusesThoseTheScreenWouldNotOffer) {
  SimTree t;
  const std::string rcf = write_rcf(t, "exclude=green\r\n");
  const CliRun r = run_cli(t, {"list", rcf});
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ(
      "0\tRed Livery\tRed\tCessna Red\n1\tAir (Tahiti) [2007]\tSilver\tCessna Silver\n2\tGreen\tGreen\tCessna Green\n",
      r.out);
  EXPECT_EQ("1\tAir (Tahiti) [2007]\tSilver\tCessna Silver\n",
            run_cli(t, {"list", rcf, "--search", "TAHITI cessna"}).out);
  t.dir.write(t.plane("Aircraft.cfg"), test::kOriginalCfg + "\r\n[fltsim.4]\r\ntitle=Bare\r\n");
  for (const char* index : {"2", "3", "9", "x"}) {
    SCOPED_TRACE(index);
    const CliRun r = run_cli(t, {"remove", rcf, "0", index});
    EXPECT_EQ(1, r.status);
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_EQ(test::kOriginalCfg + "\r\n[fltsim.4]\r\ntitle=Bare\r\n", t.cfg());
  EXPECT_FALSE(t.dir.exists(t.plane("Aircraft.vnb")));
  const CliRun ok = run_cli(t, {"remove", rcf, "1"});
  EXPECT_EQ(0, ok.status) << ok.err;
  EXPECT_FALSE(t.dir.exists(t.plane("Texture.Silver")));
}

TEST(CommandLine, PackRefusesUnknownNamesPacksOnlyThoseAskedAndStopsOnFindingsWhenStrict) {
  SimTree t;
  const std::string rcf = write_rcf(t);
  const CliRun bad = run_cli(t, {"pack", rcf, "1", "--only", "nothere.dds"});
  EXPECT_EQ(1, bad.status);
  EXPECT_NE(std::string::npos, bad.err.find("nothere.dds"));
  EXPECT_FALSE(t.dir.exists(t.plane("Uploads/Air_Tahiti_2007_Repaint.pkg")));

  const CliRun r = run_cli(t, {"pack", rcf, "1", "--only", "a.BMP", "--only", "e.dds"});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(t.dir.native(t.plane("Uploads/Air_Tahiti_2007_Repaint.pkg")).make_preferred().string() + "\n", r.out);
  const CliRun inspect = run_cli(t, {"inspect", t.plane("Uploads/Air_Tahiti_2007_Repaint.pkg")});
  ASSERT_EQ(0, inspect.status) << inspect.err;
  EXPECT_NE(std::string::npos, inspect.out.find("files: 2\n5\tA.bmp\n70000\tE.dds\n"));
  EXPECT_NE(std::string::npos, inspect.out.find("preview: none\n"));

  // The painter sees what the simulator would miss; --strict makes it stop the pack.
  const std::string package = t.plane("Uploads/Red_Livery_Repaint.pkg");
  const std::string finding = "truncated-texture\tTexture.Red\tred.bmp does not start";
  const CliRun strict = run_cli(t, {"pack", rcf, "0", "--strict"});
  EXPECT_EQ(1, strict.status);
  EXPECT_NE(std::string::npos, strict.err.find(finding)) << strict.err;
  EXPECT_FALSE(t.dir.exists(package));
  const CliRun packed = run_cli(t, {"pack", rcf, "0"});
  EXPECT_EQ(0, packed.status) << packed.err;
  EXPECT_NE(std::string::npos, packed.err.find(finding));
  EXPECT_TRUE(t.dir.exists(package));
}

// A painter packs a repaint in FSX; another user installs it into their
// Prepar3D: the entry and every texture file arrive unchanged, and packing
// it there gives the same package back.
TEST(CommandLine, PackAndInstallRoundTripBetweenSimulators) {
  SimTree painter;
  const CliRun packed = run_cli(painter, {"pack", write_rcf(painter), "1"});
  ASSERT_EQ(0, packed.status) << packed.err;
  const std::string package = packed.out.substr(0, packed.out.size() - 1);
  const auto uploads = test::folder_files(painter.dir.native(painter.plane("Uploads")));

  SimTree user;
  std::filesystem::rename(user.dir.native("sim/FSX.EXE"), user.dir.native("sim/Prepar3D.exe"));
  user.dir.write(user.plane("Aircraft.cfg"), "[fltsim.0]\r\ntitle=Cessna Red\r\ntexture=Red\r\n");
  std::filesystem::remove_all(user.dir.native(user.plane("Texture.Silver")));
  const CliRun installed = run_cli(user, {"install", write_rcf(user), "--delete", package});
  ASSERT_EQ(0, installed.status) << installed.err;
  EXPECT_EQ("Air (Tahiti) [2007]\t" + user.dir.native(user.plane("Texture.Silver")).make_preferred().string() + "\n",
            installed.out);
  EXPECT_EQ(test::folder_files(painter.dir.native(painter.plane("Texture.Silver"))),
            test::folder_files(user.dir.native(user.plane("Texture.Silver"))));
  EXPECT_EQ(
      "[fltsim.0]\r\ntitle=Cessna Red\r\ntexture=Red\r\n\r\n"
      "[fltsim.1]\r\ntitle=Cessna Silver\r\ntexture=Silver\r\nui_variation=\"Air (Tahiti) [2007]\"\r\nvisual_damage=\r\n\r\n",
      user.cfg());
  EXPECT_FALSE(std::filesystem::exists(package));
  // What the texture check found is told and logged; the install is whole all the same.
  EXPECT_NE(std::string::npos, installed.err.find("- [Texture.Silver] b.dds does not start with")) << installed.err;
  EXPECT_NE(std::string::npos, user.dir.read(user.plane("Paintwell.log")).find("texture check: [Texture.Silver] E.dds"));
  ASSERT_EQ(0, run_cli(user, {"pack", write_rcf(user), "1"}).status);
  EXPECT_EQ(uploads, test::folder_files(user.dir.native(user.plane("Uploads"))));
}

// Prepar3D loads aircraft from add-on folders outside its root; only those
// its declarations name are accepted.
TEST(CommandLine, AddonAircraftOutsideTheRootOnlyWhereDeclared) {
  SimTree t;
  std::filesystem::create_directories(t.dir.native("addons/Float/SimObjects/Airplanes"));
  std::filesystem::rename(t.dir.native(t.plane("")), t.dir.native("addons/Float/SimObjects/Airplanes/C172"));
  t.dir.write("add-ons.cfg", "[Package.0]\r\nPATH=" + t.dir.path() + "\\addons\\Float\r\n");
  t.dir.write("addons/Float/add-on.xml", "<SimBase.Document/>");
  t.dir.write("float.rcf", "folder=" + t.dir.path() + "\\addons\\Float\\SimObjects\\Airplanes\\C172\r\ntitle=Float\r\n");
  const auto untouched = t.dir.names("addons/Float/SimObjects/Airplanes/C172");

  const CliRun outside = run_cli(t, {"list", "float.rcf"});
  // Refused (Windows: the folder is no place of the simulator's) or not
  // found (POSIX: read as a folder under the root), never done.
  EXPECT_TRUE(outside.status == kExitFailed || outside.status == kExitUnreadable) << outside.status;
  EXPECT_NE(std::string::npos, outside.err.find("folder"));
  EXPECT_EQ(untouched, t.dir.names("addons/Float/SimObjects/Airplanes/C172"));

  const CliRun inside = run_cli(t, {"--addons-config", "add-ons.cfg", "list", "float.rcf"});
  EXPECT_EQ(0, inside.status) << inside.err;
  EXPECT_NE(std::string::npos, inside.out.find("0\tRed Livery\tRed\tCessna Red\n"));
  // A refused declaration is named on standard error; the others still count.
  t.dir.write("root.cfg", "[Package.0]\r\nPATH=/\r\n");
  const CliRun refused = run_cli(t, {"--addons-config", "root.cfg", "--addons-config", "add-ons.cfg", "list", "float.rcf"});
  EXPECT_EQ(inside.out, refused.out);
  // The root shown in the platform's form: "/" here, a drive's root on Windows.
  EXPECT_NE(std::string::npos, refused.err.find("add-on declaration refused: ")) << refused.err;
  EXPECT_NE(std::string::npos, refused.err.find(": an add-on in a filesystem root")) << refused.err;
  const CliRun where = run_cli(t, {"where"});
  EXPECT_EQ("root: " + t.dir.native("sim").make_preferred().string() + "\nsimulator: FSX\nprogram: " +
                t.dir.native("sim/Varnel Software/FSX Paintwell").make_preferred().string() + "\n",
            where.out);
}

// Every failure reaches standard error with what and why; a damaged
// download is named but stops nothing.
TEST(CommandLine, FailuresSayWhatAndWhy) {
  // args: "RCF" is the .rcf written; said: each on standard error, "DIR" the test's folder; immutable: as under
  // Program Files, or a package kept.
  const struct {
    const char* name;
    std::function<void(SimTree&)> prepare;
    std::vector<std::string> args;
    int status;
    std::vector<const char*> said;
    const char* immutable = nullptr;
  } cases[] = {
      {"damaged download", [](SimTree& t) { t.dir.write(t.plane("Downloads/cut.pkg"), "cut"); }, {"list", "RCF"},
       kExitOk, {"cut.pkg", "past the end"}},
      {"unreadable file", [](SimTree&) {}, {"list", "missing.rcf"}, kExitUnreadable, {"missing.rcf"}},
      {"unreadable package", [](SimTree&) {}, {"inspect", "missing.pkg"}, kExitUnreadable, {"missing.pkg"}},
      {"no simulator", [](SimTree&) {}, {"--sim", "nowhere", "list", "RCF"}, kExitUnreadable, {"FSX.EXE"}},
      {"check cannot read",
       [](SimTree& t) { std::filesystem::remove(t.dir.native(t.plane("Aircraft.cfg"))), t.dir.write(t.plane("Aircraft.cfg/x"), ""); },
       {"check", "RCF"}, kExitUnreadable, {"Aircraft.cfg"}},
      {"more operands than fit 16 bits", [](SimTree&) {}, [] { std::vector<std::string> a(40002, "blue.pkg");
         return a[0] = "install", a[1] = "RCF", a; }(), kExitUsage, {"more than 10000 operands"}},
      {"backup not writable",
       [](SimTree& t) { std::filesystem::create_directories(t.dir.native(t.plane("Aircraft.vnb/x"))); },
       {"install", "RCF", "blue.pkg"}, kExitFailed, {"Aircraft.vnb"}},
      {"uploads not writable", [](SimTree& t) { t.dir.write(t.plane("Uploads"), "a file"); }, {"pack", "RCF", "0"},
       kExitFailed, {"Uploads"}},
      {"read-only program folder", [](SimTree&) {}, {"install", "RCF", "blue.pkg"}, kExitOk, {}, "sim/Varnel Software/FSX Paintwell"},
      {"package not deletable", [](SimTree&) {}, {"install", "--delete", "RCF", "blue.pkg"}, kExitOk,
       {"could not delete the package DIR"}, "blue.pkg"},
      {"option without its value", [](SimTree&) {}, {"list", "RCF", "--only"}, kExitUsage, {"--only needs a value"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimTree t;
    t.dir.write("blue.pkg", test::blue_package());
    c.prepare(t);
    std::vector<std::string> args = c.args;
    for (std::string& a : args) a = a == "RCF" ? write_rcf(t) : a;
    std::optional<test::ImmutableFlag> flag;
    if (c.immutable && !flag.emplace(t.dir.native(c.immutable)).ok()) continue;  // not on this machine
    const CliRun r = run_cli(t, args);
    EXPECT_EQ(c.status, r.status) << r.err;
    for (const char* part : c.said) {
      EXPECT_NE(std::string::npos, r.err.find(replace_all(part, "DIR", t.dir.path()))) << part << " in " << r.err;
    }
  }
}

// A hostile package's names must not reach the terminal as escape sequences.
TEST(CommandLine, InspectShowsControlBytesAsQuestionMarks) {
  SimTree t;
  FltsimEntry entry = test::blue_entry();
  entry.title = "Evil\x1b]0;owned\x07title";
  t.dir.write("evil.pkg", test::package_bytes(entry, std::nullopt, {{"a\x1b[2Jb.dds", "x"}, {"tab\there", "y"}}));
  const CliRun r = run_cli(t, {"inspect", "evil.pkg"});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(std::string::npos, r.out.find_first_of("\x1b\x07"));
  EXPECT_NE(std::string::npos, r.out.find("title=Evil?]0;owned?title\n"));
  EXPECT_NE(std::string::npos, r.out.find("1\ta?[2Jb.dds\n1\ttab?here\n"));
}

TEST(CommandLine, CheckReportsFindingsAndFixesTheNumbering) {
  SimTree t;
  const std::string rcf = write_rcf(t);
  const CliRun found = run_cli(t, {"check", rcf});
  EXPECT_EQ(1, found.status);
  const std::string cut = " does not start with \"BM\" as its kind does: a download cut short?\n";
  EXPECT_EQ("missing-texture-folder\tfltsim.3\t[fltsim.3] names the folder Texture.Green, which does not exist\n"
            "truncated-texture\tTexture.Red\tred.bmp" + cut + "truncated-texture\tTexture.Silver\tA.bmp" + cut +
                "truncated-texture\tTexture.Silver\tb.dds" + replace_all(cut, "BM", "DDS ") +
                "truncated-texture\tTexture.Silver\tE.dds" + replace_all(cut, "BM", "DDS "),
            found.out);

  // --fix only renumbers: the textures stay as they are, and so does the status.
  const std::string twins = "[fltsim.0]\r\ntitle=A\r\ntexture=Red\r\n\r\n[fltsim.0]\r\ntitle=B\r\ntexture=Silver\r\n";
  t.dir.write(t.plane("Aircraft.cfg"), twins);
  EXPECT_EQ(1, run_cli(t, {"check", rcf, "--fix"}).status);
  EXPECT_EQ("red", t.dir.read(t.plane("Texture.Red/red.bmp")));
  const CliRun log = run_cli(t, {"log", rcf});
  EXPECT_EQ(0, log.status);
  EXPECT_NE(std::string::npos, log.out.find("repair\n    renumbered [fltsim.0] -> [fltsim.1]\n"));
  const std::string history = run_cli(t, {"history", rcf}).out;  // its point sealed, not left interrupted
  EXPECT_NE(std::string::npos, history.find("\trepair\twrote [fltsim.0] -> [fltsim.1]\t-\n")) << history;
  for (const char* texture : {"Texture.Red/red.bmp", "Texture.Silver/A.bmp", "Texture.Silver/b.dds", "Texture.Silver/E.dds"}) {
    t.dir.write(t.plane(texture), ends_with_ci(texture, ".bmp") ? "BM" : "DDS ");
  }
  t.dir.write(t.plane("Aircraft.cfg"), twins);
  const CliRun fixed = run_cli(t, {"check", rcf, "--fix"});
  EXPECT_EQ(0, fixed.status) << fixed.out;
}

// Operands relative to the working folder enter in one form: the log and
// the restore point hold it with '\\' on every platform, read back here it
// still undoes, and the command line shows it in the platform's form.
TEST(CommandLine, RelativeOperandsAreKeptInOneFormAndShownNatively) {
  SimTree t;
  const std::string rcf = write_rcf(t), packed = run_cli(t, {"pack", rcf, "1"}).out;
  const std::filesystem::path package = packed.substr(0, packed.size() - 1);
  const std::string rel = std::filesystem::relative(package, t.dir.native("")).generic_string();
  ASSERT_EQ(0, run_cli(t, {"remove", rcf, "1"}).status);
  ASSERT_EQ(0, run_cli(t, {"install", "./sim/../" + rcf, "sim/./../" + rel}).status);
  const std::string kept = normal_path(t.dir.path() + "/" + rel);
  EXPECT_NE(std::string::npos, t.dir.read(t.plane("Paintwell.log")).find("    package " + kept + "\r\n"));
  const std::string point = t.plane("Paintwell.history/") + t.dir.names(t.plane("Paintwell.history")).back();
  EXPECT_NE(std::string::npos, t.dir.read(point + "/manifest.txt").find("package=" + kept + "\r\n"));
  EXPECT_NE(std::string::npos, run_cli(t, {"history", rcf}).out.find("\tpackage " + package.string() + ";"));
  EXPECT_EQ(0, run_cli(t, {"undo", rcf}).status);
}

// An install killed once its folder is in place: reading commands say so and
// change nothing; history lists it newest first; the next change takes it
// back first, and undo still reaches the operations before.
TEST(CommandLine, AnInterruptedInstallIsReportedThenTakenBackByTheNextChange) {
  SimTree t;
  const std::string rcf = write_rcf(t);
  ASSERT_EQ(0, run_cli(t, {"remove", rcf, "1"}).status);
  const std::string removed = t.cfg();
  t.reload_entries();
  t.download("blue.pkg");
  for (int k = 1; !t.dir.exists(t.plane("Texture.Blue")); ++k) {
    ASSERT_LT(k, 100);
    t.faulty.crash_at(k);
    t.install(0);
  }
  ASSERT_EQ(removed, t.cfg());
  const auto history = t.dir.names(t.plane("Paintwell.history"));
  for (const char* reading : {"list", "log", "check", "history"}) {
    SCOPED_TRACE(reading);
    const CliRun r = run_cli(t, {reading, rcf});
    EXPECT_NE(std::string::npos, r.err.find("an interrupted install of ")) << r.err;
    EXPECT_TRUE(t.dir.exists(t.plane("Texture.Blue")));
    EXPECT_EQ(history, t.dir.names(t.plane("Paintwell.history")));
  }
  const std::string history_out = run_cli(t, {"history", rcf}).out;
  const std::string removal = "\tremove\tdeleted [fltsim.1] Cessna Silver; moved folder Texture.Silver\t";
  const std::size_t removal_at = history_out.find(removal + "-\n");
  EXPECT_NE(std::string::npos, removal_at) << history_out;
  EXPECT_LT(history_out.find("\tinterrupted\n"), removal_at);  // newest first
  const CliRun undo = run_cli(t, {"undo", rcf});
  EXPECT_EQ(0, undo.status) << undo.err;
  EXPECT_NE(std::string::npos, undo.out.find(removal + "undone\n")) << undo.out;
  EXPECT_EQ(1, run_cli(t, {"undo", rcf}).status);  // nothing left
  EXPECT_NE(std::string::npos, undo.err.find("an interrupted install of ")) << undo.err;
  EXPECT_NE(std::string::npos, undo.err.find(" was taken back")) << undo.err;
  EXPECT_EQ(test::kOriginalCfg, t.cfg());
  EXPECT_EQ((std::set<std::string>{"Texture.Red", "Texture.Silver"}), test::texture_folders(t.dir.native(test::kPlane)));
}

// Each --json form is one document that parses back to the records' text,
// converted to UTF-8 and escaped.
TEST(CommandLine, JsonFormsParseBackToTheRecords) {
  SimTree t;
  const std::string rcf = write_rcf(t);
  t.dir.write(t.plane("Aircraft.cfg"), test::kOriginalCfg + "\r\n[fltsim.4]\r\ntitle=Caf\xE9 \"Q\"\t\\ \x80\x01\r\n");
  FltsimEntry entry = test::blue_entry();
  t.dir.write("blue.pkg", test::package_bytes(entry, std::string("BMpicture"), test::blue_files()));
  ASSERT_EQ(0, run_cli(t, {"remove", rcf, "1"}).status);  // renumbers: fltsim.0, .1 (Green), .2
  // expected: a few of the members; absent: a member there must not be.
  const struct { std::vector<std::string> args; std::map<std::string, std::string> expected; std::string absent; }
      cases[] = {
      {{"list", rcf, "--json"},
       {{"entries.0.index", "0"}, {"entries.0.section", "fltsim.0"}, {"entries.0.ui_variation", "Red Livery"},
        {"entries.0.visual_damage", "1"}, {"entries.2.index", "2"}, {"entries.2.section", "fltsim.2"},
        {"entries.2.title", "Caf\xC3\xA9 \"Q\"\t\\ \xE2\x82\xAC\x01"}, {"entries.2.sim", ""}},
       "entries.3.index"},
      {{"list", rcf, "--search", "green", "--json"}, {{"entries.0.index", "1"}, {"entries.0.texture", "Green"}},
       "entries.1.index"},
      {{"inspect", "blue.pkg", "--json"},
       {{"title", "Cessna Blue"}, {"rcf_text", test::carried_text(test::kCarriedFolder).c_str()},
        {"has_preview", "true"}, {"preview_size", "9"}, {"files.1.name", "Panel.dds"}, {"files.1.size", "5"}},
       "files.2.name"},
      {{"check", rcf, "--json"},
       {{"findings.0.kind", "missing-texture-folder"}, {"findings.0.subject", "fltsim.1"}},
       "findings.0.section"},
      {{"history", rcf, "--json"},
       {{"restore_points.0.operation", "remove"}, {"restore_points.0.undone", "false"},
        {"restore_points.0.folders_removed.0", "Texture.Silver"}, {"restore_points.0.packages", "[]"}},
       "restore_points.1.name"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[c.args.size() - 2]);
    const CliRun r = run_cli(t, c.args);
    ASSERT_EQ(c.args[0] == "check" ? 1 : 0, r.status) << r.err;  // check fails while it finds anything
    const auto flat = FlatJson::parse(r.out);
    ASSERT_TRUE(flat.has_value()) << r.out;
    for (const auto& [path, value] : c.expected) {
      EXPECT_EQ(value, flat->count(path) ? flat->at(path) : "(none)") << path;
    }
    EXPECT_EQ(0u, flat->count(c.absent));
  }
  EXPECT_EQ(2, run_cli(t, {"remove", rcf, "0", "--json"}).status);
}

// Writes and reads through the command line, whose words every version keeps.
TEST(CommandLineWriters, ReplaceKeepsEverySafeguardAndIsOneOperation) {
  const std::string whole = test::package_bytes(test::red_entry(), std::nullopt, test::blue_files());
  const struct { const char *name, *rcf_extra; std::string package; int status; } cases[] = {
      {"the .rcf keeps the installed entry", "exclude=Red Livery\r\n", whole, 1},
      {"the package is damaged", "", whole.substr(0, whole.size() - 8), 1},
      {"replaced", "", whole, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimTree t;
    write_rcf(t, c.rcf_extra);
    t.dir.write("copy.pkg", whole);
    t.dir.write("red.pkg", c.package);
    ASSERT_EQ(0, run_cli(t, {"install", "c172.rcf", "copy.pkg"}).status);  // a point for the undo below
    const std::string cfg = t.cfg();
    EXPECT_EQ(c.status, run_cli(t, {"install", "c172.rcf", "red.pkg", "--on-duplicate", "replace"}).status);
    EXPECT_EQ(c.status == 0, cfg != t.cfg());
    EXPECT_EQ(c.status != 0, t.dir.read(t.plane("Texture.Red/red.bmp")) == "red");
    // One undo takes the whole replacement back, the old repaint included.
    ASSERT_EQ(0, run_cli(t, {"undo", "c172.rcf"}).status);
    EXPECT_EQ(c.status == 0, cfg == t.cfg());
    EXPECT_EQ("red", t.dir.read(t.plane("Texture.Red/red.bmp")));
  }
}

TEST(CommandLineWriters, ReadingCommandsWriteNothing) {
  SimTree t;
  std::filesystem::remove(t.dir.native(t.plane("Downloads")));
  write_rcf(t);
  t.dir.write("red.pkg", test::package_bytes(test::red_entry(), std::nullopt, test::blue_files()));
  const auto before = test::files_under(t.dir.native(""));
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"list", "c172.rcf"}, {"list", "red.pkg"}, {"inspect", "red.pkg"}, {"check", "c172.rcf"},
           {"log", "c172.rcf"}, {"history", "c172.rcf"}, {"where"}}) {
    SCOPED_TRACE(args[0] + " " + args.back());
    run_cli(t, args);
    EXPECT_EQ(before, test::files_under(t.dir.native("")));
  }
}

}  // namespace
}  // namespace pw
