#pragma once
// Controls carry their resource id as objectName, so tests and code find them by the
// numbers the dialogs are specified with: control<QLineEdit>(dialog, 105).

#include <QObject>
#include <QString>
#include <QWidget>

namespace mv {

inline void setControlId(QObject* control, int id) { control->setObjectName(QString::number(id)); }

template <class T>
T* control(const QObject* parent, int id) {
  return parent->findChild<T*>(QString::number(id));
}

// An accessible name for a control (screen readers, and finding a control by what it says).
inline void setAccessible(QWidget* w, const QString& name) { w->setAccessibleName(name); }

}  // namespace mv
