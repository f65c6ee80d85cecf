#pragma once

#include "base/FolderType.h"

#include <QString>
#include <QUuid>

namespace Orvoinstaller {

// One plug-in folder found in the resources and the name it is to be installed under.
struct TemplateItem {
    TemplateItem(QUuid id, QString originalName, QString newName, FolderType type, QString path)
        : m_id(id), originalName(std::move(originalName)), newName(std::move(newName)), type(type),
          path(std::move(path)) {}

    QUuid id() const { return m_id; }

private:
    QUuid m_id;

public:
    QString originalName;
    QString newName;
    FolderType type;
    QString path; // absolute location of the found folder
};

} // namespace Orvoinstaller
