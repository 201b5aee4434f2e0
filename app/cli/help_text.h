// The text `paintwell-cli --help` prints: every command, option and exit
// status, kept apart from the code that runs them.
#pragma once

namespace pw {

inline constexpr const char* kHelp = R"(Usage: paintwell-cli [--sim ROOT] [--sim-config FILE]... [--addons-config FILE]... COMMAND ARGUMENTS

Installs, removes and packs aircraft repaints of Flight Simulator X, its
Steam edition and Prepar3D, as the Paintwell desktop program does. FILE
selects the aircraft: a Repaint Configuration File (.rcf), a repaint
package (.pkg) that carries one, or the aircraft's folder (as the .rcf in
the root that names it, or one made up: its folder and first title).

Commands:
  list FILE [--search TEXT] [--json]
      One line per entry of the aircraft's aircraft.cfg: INDEX, TAB,
      ui_variation, TAB, texture, TAB, title. --search keeps the entries
      in which every word of TEXT appears, whatever its case and accents,
      in the title, ui_variation, atc_airline, atc_id, atc_parking_codes,
      ui_createdby or texture folder.
  pack FILE INDEX [--preview BMP] [--only NAME]... [--strict]
      Packs entry INDEX into <aircraft>\Uploads\<variation>_Repaint.pkg from
      all files of its texture folder, or only the NAMEs given (letter case
      ignored), with BMP as the preview picture. Prints the package's path.
      What the texture check finds in the folder goes to standard error as
      check prints it; with --strict any finding stops the pack (exit 1,
      nothing written).
  install FILE [--delete] PKG...
      Installs each package into the aircraft; a package made for another
      aircraft is refused. --delete deletes each package file once it is
      installed. Prints one line per installed package: ui_variation, TAB,
      the texture folder created.
  install FILE --on-duplicate copy|skip|replace ...
      What to do with a package whose title is installed already: install
      a copy (the default), skip it, or replace the installed entry and its
      folder. Each duplicate is named on standard error.
  import ARCHIVE|FOLDER... [--aircraft FILE|FOLDER] [--dry-run] [--make-entry]
         [--on-duplicate copy|skip|replace] [--json] [--to-pkg DIR]
      Installs the repaints of downloads as they come: zip, 7z and rar
      archives or the folders they were unpacked into. Each Texture.<name>
      folder is a repaint, with the [fltsim.N] block of a readme, .txt,
      .cfg or aircraft.cfg that names it; it goes into the aircraft FILE
      selects, or else the one of the simulator that the download fits
      best (its folder names, sim=, model=, panel=, sound=, texture file
      names). Several aircraft fitting equally refuse the command (exit 1,
      nothing written) and are listed; none fitting refuses the repaint,
      saying what was looked for. A folder without a block is installed
      only with --make-entry, its entry made from the aircraft's first.
      The repaints of one download for one aircraft are one operation
      that undo takes back whole. Prints one line per repaint installed:
      ui_variation, TAB, the texture folder created. Keys of a block an
      entry cannot hold and folders other than texture folders are named
      on standard error and left out. --dry-run writes nothing and prints
      per repaint: ARCHIVE, TAB, texture folder, TAB, title, TAB, aircraft
      folder, TAB, where the entry came from ("readme.txt, line 12" or
      "made up"). --to-pkg DIR writes a package per repaint into DIR
      instead, carrying the aircraft's configuration text, and prints its
      path; files in sub-folders cannot travel in a package and are named.
      --json: {"repaints": [...]} with "archive", "texture_folder",
      "title", "aircraft", "source", "outcome" and "folder".
  remove FILE INDEX...
      Removes those entries; their texture folders are moved into a restore
      point (see undo). An entry without a texture, or excluded by the
      configuration file, is refused.
  aircraft [--search TEXT] [--json]
      Every aircraft folder the simulator loads aircraft from: FOLDER, TAB,
      entries, TAB, the first entry's title; FOLDER relative to the root
      with \, absolute outside it. With --search, every entry of the
      simulator that TEXT finds (as list --search does): FOLDER, TAB,
      INDEX, TAB, title. The index is cached in the user's cache folder.
  check --all [--json]
      check of every aircraft: each finding as FOLDER, TAB, then the line
      check prints. --fix is refused: repair one aircraft at a time.
  check FILE [--fix] [--json]
      Lists what is wrong with the aircraft's aircraft.cfg and texture
      folders (texture.cfg fallbacks, thumbnails, textures cut short):
      KIND, TAB, SECTION or FOLDER, TAB, explanation. --fix renumbers
      the [fltsim.N] sections into one sequence from 0 (Aircraft.vnb
      keeps the file as it was) and nothing else.
  log FILE
      Prints Paintwell.log, the record of every change made to the aircraft.
  history FILE [--json]
      Lists the restore points kept in the aircraft's Paintwell.history,
      newest first: time, TAB, operation, TAB, what it did, TAB, "undone",
      "interrupted" or "-".
  undo FILE
      Takes back the latest operation not undone yet: aircraft.cfg as it
      was, created folders taken out, removed folders and kept packages put
      back. Refused, changing nothing, when aircraft.cfg was edited since,
      a folder to put back exists, or the restore point cannot be trusted
      (a link, a manifest naming what the operation cannot have touched, a
      folder missing). Several undos walk back through the history.
  An operation a crash interrupted is taken back by the next command that
  changes the aircraft (install, import, remove, pack, undo, check --fix), which
  says so; list, log, history and check report it and change nothing.
  inspect PKG [--json]
      Shows the package's entry fields, preview length and file table.
  where
      Prints the simulator's root, which simulator it is and this
      program's folder.

INDEX is the entry's position as `list` prints it, not its section number.

Options:
  --sim ROOT   the simulator's folder (default: two folders above this
               program's folder); it must hold FSX.EXE or Prepar3D.exe.
  --sim-config FILE
               an fsx.cfg or a Prepar3D simobjects.cfg whose lists of
               aircraft folders (SimObjectPaths.N, [Entry.N] Path) are
               read besides those found in the application data folders
               and named in Paintwell.ini ([simulator] sim_config.N).
  --addons-config FILE
               a Prepar3D add-ons.cfg whose declared add-on folders may
               hold aircraft outside the root, besides those Prepar3D v4
               and v5 keep on Windows and those Paintwell.ini names
               ([simulator] addons_config.N).
  --progress   a progress line on standard error while a package is
               made or installed or repaints are removed (on by default
               when standard error is a terminal).
  --json       list, aircraft, inspect, check, history and import: one JSON document in
               UTF-8 instead of lines. Members are named as the records'
               keys: "entries" with "index", "section" and every
               aircraft.cfg key; a package's keys, "rcf_text",
               "has_preview", "preview_size" and "files" ("name",
               "size"); "findings" ("kind", "subject", "explanation");
               "restore_points" ("name", "operation", "time", "undone",
               "packages", "sections_written", ...).
  --help       this text.

Every command but inspect, aircraft, import and check --all first selects the aircraft as the desktop
program's Select Aircraft button does (Downloads created, Aircraft.001 made
once, package.rcf written beside the program when FILE is a package).
Confirmations are answered yes; messages go to standard error.
Exit status, the same for every command:
  0  done; for check: nothing found.
  1  refused or failed, with the reason on standard error; for check:
     findings (printed).
  2  usage error: unknown command or option, wrong operands, or more than
     10000 operands.
  3  could not read what it had to (the simulator, FILE, a package to
     inspect, a download, the aircraft's files); for check: could not
     check, with the reason.
)";

}  // namespace pw
