#pragma once

#include "base/FolderItem.h"
#include "install/DestinationState.h"
#include "platform/FolderChooser.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QList>
#include <QUuid>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;

namespace Orvoinstaller {

class FileReader;
class Worker;
class FolderPicker;
class Previews;

// One folder row: kind label, name field, picker. A row is bound to one item by id at a
// time; the list re-binds rows as they scroll in and out of sight.
class FolderRow : public QWidget {
    Q_OBJECT

public:
    FolderRow(std::shared_ptr<FolderChooser> chooser, const QString& homeDirectory,
              QWidget* parent = nullptr);

    // Shows `item`, and whether it becomes a new folder or is merged into one of `installed`,
    // or why it cannot be installed: its name, or `failure` in the last run. The field's text
    // is replaced only when it differs, so typing keeps its cursor.
    void bind(const FolderItem& item, const InstalledFolders& installed, const Error* failure);
    // The template's preview picture; a null one leaves its place empty.
    void setPreview(const QPixmap& picture);
    QUuid itemId() const { return m_id; }
    const QString& folderPath() const { return m_path; }
    QLabel* preview() const { return m_preview; }

    QLabel* kindLabel() const { return m_kind; }
    QLineEdit* nameField() const { return m_name; }
    FolderPicker* picker() const { return m_picker; }
    // The icon at the field's trailing edge.
    QAction* stateIndicator() const { return m_indicator; }

    static int preferredHeight();

Q_SIGNALS:
    void nameEdited(const QUuid& id, const QString& name);

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // What the indicator says: new, merge, or a warning with its reason.
    struct Mark {
        std::optional<DestinationState> state;
        std::optional<Error> warning;
    };
    void showKind();
    void showMark(const Mark& mark);
    void showWholeName();

    QUuid m_id;
    QString m_path;
    QLabel* m_preview;
    QLabel* m_kind;
    QLineEdit* m_name;
    QAction* m_indicator;
    std::optional<Mark> m_mark;
    FolderPicker* m_picker;
};

// The scrolling list of folder rows. Only the rows in sight exist as widgets (plus the one
// being typed in), so a pack of thousands of folders costs no more than a handful.
class FolderListView : public QAbstractScrollArea {
    Q_OBJECT

public:
    FolderListView(std::shared_ptr<FolderChooser> chooser, QString homeDirectory,
                   std::shared_ptr<const FileReader> fileSystem, std::shared_ptr<Worker> worker,
                   QWidget* parent = nullptr);

    // Shows `items` and keeps reading them (the state object's own list and values): they
    // must outlive the view, and a change must be told by another setItems() or itemChanged().
    void setItems(const QList<FolderItem>& items, const InstalledFolders& installed,
                  const QHash<QUuid, Error>& failures);
    void itemChanged(int index);
    // Only the items whose name contains `text` (any case) are shown.
    void setFilter(const QString& text);
    int shownCount() const { return static_cast<int>(m_shown.size()); }
    int rowHeight() const { return m_rowHeight; }
    // The row widget showing the item at `index` of the items, after scrolling it into sight;
    // none when the filter hides it.
    FolderRow* revealRow(int index);
    // Rows that currently exist as widgets and are bound to an item.
    QList<FolderRow*> boundRows() const;

Q_SIGNALS:
    void nameEdited(const QUuid& id, const QString& name);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutRows();
    void applyFilter();
    void bindRow(FolderRow* row, const FolderItem& item) const;
    FolderRow* revealPosition(int position);
    FolderRow* rowOf(QWidget* widget) const;
    int positionOf(const QUuid& id) const; // among the shown items
    FolderRow* takeRow();
    bool leaveList(bool next);

    std::shared_ptr<FolderChooser> m_chooser;
    QString m_homeDirectory;
    const QList<FolderItem>& items() const { return m_items ? *m_items : m_none; }

    const QList<FolderItem>* m_items = nullptr;
    const InstalledFolders* m_installed = nullptr;
    const QHash<QUuid, Error>* m_failures = nullptr;
    QList<FolderItem> m_none;
    Previews* m_previews;
    std::vector<int> m_shown; // indices of the items the filter lets through, in order
    QString m_filter;
    FolderRow* m_lastMade = nullptr; // the rows join the focus chain in the order made
    QHash<QUuid, FolderRow*> m_bound;
    std::vector<FolderRow*> m_spare;
    int m_rowHeight;
    bool m_movingFocus = false;
};

// The framed panel: header captions over the list.
class FolderListPanel : public QWidget {
    Q_OBJECT

public:
    FolderListPanel(std::shared_ptr<FolderChooser> chooser, QString homeDirectory,
                    std::shared_ptr<const FileReader> fileSystem, std::shared_ptr<Worker> worker,
                    QWidget* parent = nullptr);

    void setItems(const QList<FolderItem>& items, const InstalledFolders& installed,
                  const QHash<QUuid, Error>& failures) {
        m_list->setItems(items, installed, failures);
    }
    void setShowsFilter(bool shown);
    FolderListView* list() const { return m_list; }
    QLineEdit* filterField() const { return m_filter; }

Q_SIGNALS:
    void nameEdited(const QUuid& id, const QString& name);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void retranslate();

    FolderListView* m_list;
    QLineEdit* m_filter;
    QLabel* m_kindCaption;
    QLabel* m_nameCaption;
    QLabel* m_mergeCaption;
};

} // namespace Orvoinstaller
