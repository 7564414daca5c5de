// One station's four tables and what the operator actions ask of them: the
// song base, the jingle base and the playlist of the automation system, and
// this program's association base. Each table is reached by what it is for
// (lookups, lists, counts, write batches), never by statements composed by
// the callers; the local SQL stays the engine's dialect underneath.
//
// Lookups "ignoring letter case" fold texts as the local SQL does
// (core::UpperChar). Texts are CP1251. A table that cannot be read throws
// db::Error naming it, at the moment of use.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/datetime.h"
#include "core/settings.h"
#include "db/paradox/table.h"
#include "db/stationtables.h"

namespace db {

class Query;

// The values of a song or jingle base row that an import copies; a jingle
// base row leaves the song-only ones at zero and empty.
struct BaseValues {
  std::string FPath, FArtist, FName;
  core::TDateTime FTime = 0, FIntro = 0, FOutro = 0, FProtect = 0, FStartTime = 0, FAbort = 0, FFadeInLen = 0,
                  FFadeOutLen = 0, FMixOut = 0, FMixIn = 0;
  std::int32_t FStartVol = 0, FEndVol = 0;
  bool FNoAutoMix = false;
  std::string FCategory, FStyle, FMood, FSex, FLanguage;
};

// Names with the path behind each, as a picker lists them.
struct NamedPaths {
  std::vector<std::string> names;
  std::vector<std::string> paths;  // as the table holds them, cut to the path capacity
};

// One row of Association.db.
struct AssociationRow {
  std::string artist;
  std::string name;
  std::string path;
  bool operator==(const AssociationRow&) const = default;
};

// Artist, title and path of a song base row (a jingle's artist is empty).
struct BaseRow {
  std::string artist;
  std::string name;
  std::string path;  // as the table holds it
};

// The song base BaseSong.db (read only).
class SongBase {
 public:
  explicit SongBase(std::string path);
  ~SongBase();
  const std::string& path() const { return m_path; }

  // Whether a row's FPath equals path, letter case ignored.
  bool HasPath(const std::string& path);
  // FPath of the first row (stored order) whose FArtist and FName equal these,
  // letter case ignored.
  std::optional<std::string> PathOf(const std::string& artist, const std::string& name);
  // The distinct artists in artist order.
  std::vector<std::string> Artists();
  // The titles of one artist in title order; every row when artist is null.
  NamedPaths Titles(const std::string* artist);
  // The first row whose FPath equals path.
  std::optional<BaseValues> ValuesOf(const std::string& path);
  // Every row in stored order.
  std::vector<BaseRow> Rows();

 private:
  std::string m_path;
  std::unique_ptr<Query> m_paths;  // open on FPath, kept for the lookups
  std::unique_ptr<Query> m_rows;   // open on every field
};

// The jingle base Jingles.db (read only).
class JingleBase {
 public:
  explicit JingleBase(std::string path);
  ~JingleBase();
  const std::string& path() const { return m_path; }
  bool Exists() const;

  bool HasPath(const std::string& path);
  // FPath of the first row whose FName equals name, letter case ignored.
  std::optional<std::string> PathOf(const std::string& name);
  // Every jingle in name order.
  NamedPaths Names();
  std::optional<BaseValues> ValuesOf(const std::string& path);
  // Every row in stored order.
  std::vector<BaseRow> Rows();

 private:
  std::string m_path;
  std::unique_ptr<Query> m_paths;
  std::unique_ptr<Query> m_rows;
};

// This program's Association.db: FArtist, FName, FPath, no key.
class AssociationBase {
 public:
  explicit AssociationBase(std::string path);
  ~AssociationBase();
  const std::string& path() const { return m_path; }
  bool Exists() const;
  // Creates the table with its three columns; false when that fails.
  bool Create();

  // Every row in stored order, and the deletion of some of them (positions in
  // that order) in one write; refused when the table changed in between.
  std::vector<AssociationRow> StoredRows();
  void DeleteStored(const std::vector<std::size_t>& positions);

  // FPath of the first row whose FArtist and FName equal these, letter case
  // ignored.
  std::optional<std::string> PathOf(const std::string& artist, const std::string& name);
  // Every row in order of FArtist, FName.
  std::vector<AssociationRow> Sorted();
  // Each one write.
  void Append(const AssociationRow& row);
  void Append(const std::vector<AssociationRow>& rows);
  // The rows equal to row get newPath (and artist, when given).
  void Change(const AssociationRow& row, const std::string& newPath, const std::string* newArtist);
  void Delete(const AssociationRow& row);

 private:
  void closeLookups();
  std::string m_path;
  std::unique_ptr<Query> m_rows;
};

// Where a row of PlayList.db stands: its day and hour as the fields hold
// them (a blank reads as 0).
struct PlaySlot {
  core::TDateTime FDate = 0;
  std::int32_t FHour = 0;
  bool blankDate = true;  // FDate or FHour blank: no day and hour matches it
};

// The values of one playlist row this program writes; the table's other
// columns stay blank.
struct PlayListRow {
  core::TDateTime FDate = 0;
  std::int64_t FHour = 0;
  std::int64_t FNumber = 0;
  std::int32_t FType = 0;
  BaseValues values;
};

// The automation system's PlayList.db.
class PlayList {
 public:
  explicit PlayList(std::string path);
  const std::string& path() const { return m_path; }

  // The rows of one day (its whole day) and hour.
  int CountRows(core::TDateTime day, int hour);
  // Every row's day and hour, in stored order; read: the file's stamp they
  // were read on.
  std::vector<PlaySlot> Slots(FileStamp* read = nullptr);
  // The table's row for these values. Throws db::Error, before anything is
  // written, for a value the field cannot hold.
  Row MakeRow(const PlayListRow& row);
  std::vector<Field> Fields();
  // Positions (of Slots()) and writes are refused with db::Error, changing
  // nothing, unless the file is still as it was read on: readOn.
  std::vector<std::string> RawRecords(const std::vector<std::size_t>& positions, const FileStamp& readOn);
  std::string EncodeRecord(const Row& row);
  // One durable write.
  void Write(const ParadoxTable::WriteBatch& batch, const FileStamp& readOn);

 private:
  std::string m_path;
};

// The four tables at the paths the settings give (StationPaths).
class Station {
 public:
  Station();
  explicit Station(const core::TSetts& setts);
  ~Station();
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  // Takes the folders of the settings anew (the first step of every check).
  void SetPaths(const core::TSetts& setts);
  const StationPaths& paths() const { return m_paths; }

  // What stops the association check, in the order it is looked at.
  enum class Readiness { Ready, MVPathIsFile, NoSongBase, NoJingleBase, BasePathIsFile, NoAssociationBase };
  Readiness Check(bool useJingle) const;
  // The file a folder setting names instead of a folder (for the message).
  std::optional<std::string> FileInsteadOfFolder(Readiness readiness) const;

  // Rolls back, for each table, a write that a crash left unfinished.
  void RecoverUnfinishedWrites() const;

  SongBase& Songs();
  JingleBase& Jingles();
  AssociationBase& Associations();
  PlayList& Playlist();
  // The jingle base named by an MVPath at the moment of use.
  static std::string JinglesPathIn(const std::string& mvPath);

  // Forgets the lookups kept open (after a check, before tables may change).
  void CloseLookups();

 private:
  core::TSetts m_setts;
  StationPaths m_paths;
  std::unique_ptr<SongBase> m_songs;
  std::unique_ptr<JingleBase> m_jingles;
  std::unique_ptr<AssociationBase> m_associations;
  std::unique_ptr<PlayList> m_playlist;
};

}  // namespace db
