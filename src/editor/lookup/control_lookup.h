#pragma once

// Finds a control by a composed name, ignoring letter case: handlers compose
// names such as "ChbClipNotVerif3" for the control named "ChBClipNotVerif3".

#include <QObject>
#include <QString>
#include <stdexcept>

namespace tarnik {

// The first descendant of `root` whose objectName equals `name` ignoring case,
// or nullptr.
inline QObject* findControlOrNull(const QObject* root, const QString& name)
{
    for (QObject* child : root->children()) {
        if (child->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return child;
        if (QObject* found = findControlOrNull(child, name))
            return found;
    }
    return nullptr;
}

// As findControlOrNull, cast to T. A composed name always names an existing
// control of the expected kind, so a miss is a programming error and throws.
template <typename T>
T* findControl(const QObject* root, const QString& name)
{
    T* control = qobject_cast<T*>(findControlOrNull(root, name));
    if (!control)
        throw std::logic_error("no control named " + name.toStdString());
    return control;
}

}  // namespace tarnik
