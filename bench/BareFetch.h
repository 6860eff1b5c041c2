#pragma once

// The baselines of the fetch benchmarks: the whole product table read with
// the engines' own C APIs, every row fetched and every value read once.

#include "tools/DbOptions.h"

#include <QString>
#include <QtGlobal>
#include <vector>

// What every loop adds up from the values it reads, so none can be skipped.
struct Checksum {
    double Numbers = 0;
    qint64 Integers = 0;
    qint64 Floats = 0;
    qint64 TextBytes = 0;
    qint64 Nulls = 0;
    qint64 Rows = 0;

    // The values' own bytes as the engine hands them: 4 an integer, 8 a
    // double, the text's bytes; nulls none.
    qint64 RawBytes() const { return Integers * 4 + Floats * 8 + TextBytes; }
};

extern const char* const ProductSelect;

Checksum BareFirebird(const QString& database);
Checksum BareSqlite(const QString& database);

// Makes a product database of that many rows unless the file is there.
void MakeProductDatabase(TDbBackend backend, const QString& path, int products);

double Median(std::vector<double> values);

// The command line shared by the fetch benchmarks, --products N, --runs N,
// --dir FOLDER, and the two product databases it names (made when missing,
// kept for later runs).
struct BenchSetup {
    int Products = 0;
    int Runs = 0;
    QString FirebirdDatabase;
    QString SqliteDatabase;
};
BenchSetup ParseBenchSetup(const QStringList& arguments, const QString& runsHelp);
