#pragma once
// One instance of an object for the whole application: made at the first call, owned by the application object,
// made again for a later application object.
#include <QCoreApplication>
#include <QPointer>
#include <QStyle>

namespace dashcam {

template <class T> T* ApplicationShared() {
    static QPointer<T> object;
    if (!object) {
        object = new T;
        object->setParent(QCoreApplication::instance());
    }
    return object;
}

template <class Style> QStyle* SharedStyle() { return ApplicationShared<Style>(); }

} // namespace dashcam
