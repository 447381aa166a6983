#pragma once
// The floor of each heavy operation on the same files, for the table's
// "limit" column: what is left when the document's own work is taken away.

#include <QString>

#include <benchmark/benchmark.h>

#include <functional>

namespace cv::bench {

// The book's gzip stream inflated into a file, then every entry row read
// with one prepared statement (the open's floor).
void limitOpen(benchmark::State &state, const QString &book);
// The book's database (magic first) compressed by libdeflate at level 6,
// already in memory (the save's floor).
void limitSave(benchmark::State &state, const QString &book);
// The same, written to a new file, synced, renamed over the old one and the
// folder synced: the floor of a save that is on the disk when it says so.
void limitSaveSynced(benchmark::State &state, const QString &book);
// The same as the gzip tool at level 6 does it: the database read from its
// file, compressed, the result written to a file and closed (the save also
// syncs it and renames it over the old one).
void limitSaveFiles(benchmark::State &state, const QString &book);
// Every entry read with one prepared statement and printed in the export's form.
void limitXmlExport(benchmark::State &state, const QString &book);
// Every entry of the XML form parsed and inserted with one prepared statement.
void limitXmlImport(benchmark::State &state, const QString &xml);
// The same on expat, a tokenizer that makes no text objects (the import's floor).
void limitXmlImportExpat(benchmark::State &state, const QString &xml);

} // namespace cv::bench
