#pragma once
// The resource table of resources/README.md, read back for the tests.

#include <QString>
#include <vector>

namespace ResourceTests {

struct TableRow {
    QString name;
    QString type;
    int width = 0; // 0 for sounds
    int height = 0;
    int frames = 0; // 0 for sounds
};

/// The source tree's root (GLM_SOURCE_DIR, set by the test runner).
QString SourceDir();

/// Every row of the table; empty when the file or its table is missing.
std::vector<TableRow> ReadTable();

/// The row for a name, or nullptr.
const TableRow* FindRow(const std::vector<TableRow>& rows, const QString& name);

} // namespace ResourceTests
