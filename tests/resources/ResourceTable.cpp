#include "ResourceTable.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace ResourceTests {

QString SourceDir() {
    return qEnvironmentVariable("GLM_SOURCE_DIR", QStringLiteral("."));
}

std::vector<TableRow> ReadTable() {
    std::vector<TableRow> rows;
    QFile file(SourceDir() + QStringLiteral("/resources/README.md"));
    if (!file.open(QIODevice::ReadOnly)) {
        return rows;
    }
    const QString text = QString::fromUtf8(file.readAll());
    const qsizetype begin = text.indexOf(QStringLiteral("<!-- BEGIN RESOURCE TABLE"));
    const qsizetype end = text.indexOf(QStringLiteral("<!-- END RESOURCE TABLE"));
    if (begin < 0 || end < begin) {
        return rows;
    }
    const QRegularExpression size(QStringLiteral("^(\\d+)x(\\d+)$"));
    for (const QString& line : text.mid(begin, end - begin).split(QLatin1Char('\n'))) {
        const QStringList cells = line.split(QLatin1Char('|'));
        if (cells.size() < 7 || cells[1].trimmed() == QLatin1String("Name") ||
            cells[1].startsWith(QLatin1String("---"))) {
            continue;
        }
        TableRow row;
        row.name = cells[1].trimmed();
        row.type = cells[2].trimmed();
        const auto match = size.match(cells[3].trimmed());
        if (match.hasMatch()) {
            row.width = match.captured(1).toInt();
            row.height = match.captured(2).toInt();
        }
        row.frames = cells[4].trimmed().toInt();
        rows.push_back(row);
    }
    return rows;
}

const TableRow* FindRow(const std::vector<TableRow>& rows, const QString& name) {
    for (const TableRow& row : rows) {
        if (row.name == name) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace ResourceTests
