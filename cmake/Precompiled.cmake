# Precompiled headers. Nearly every source file is small and includes Qt (and the tests
# GoogleTest), so parsing those headers is most of the build's time; each target parses them
# once instead. VURNA_PCH=OFF builds without, to check that every file includes what it uses.
option(VURNA_PCH "Precompile the Qt and GoogleTest headers" ON)

set(VURNA_PCH_CORE <QByteArray> <QString> <QStringList> <QList> <QHash> <QObject> <QDateTime> <QFile>
    <QFileInfo> <QDir> <QLoggingCategory> <functional> <memory> <vector>)
set(VURNA_PCH_WIDGETS <QWidget> <QApplication> <QPainter> <QLabel> <QPushButton> <QAction> <QMenu>
    <QLineEdit> <QComboBox> <QBoxLayout> <QKeyEvent>)
set(VURNA_PCH_TESTS <gtest/gtest.h> <QTest> <QSignalSpy>)

# `kind` is core, widgets, core-tests or widgets-tests.
function(vurna_precompile target kind)
    if(NOT VURNA_PCH OR NOT TARGET ${target})
        return()
    endif()
    set(headers ${VURNA_PCH_CORE})
    if(kind MATCHES "^widgets")
        list(APPEND headers ${VURNA_PCH_WIDGETS})
    endif()
    if(kind MATCHES "tests$")
        list(APPEND headers ${VURNA_PCH_TESTS})
    endif()
    target_precompile_headers(${target} PRIVATE ${headers})
endfunction()
