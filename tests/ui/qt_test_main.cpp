// GoogleTest main for the Qt tests: one QApplication for all of them, on the
// offscreen platform unless the caller chose another.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef PINWRIGHT_TEST_SCALE_FACTOR
  // The whole window as on a screen scaled by this factor.
  qputenv("QT_SCALE_FACTOR", PINWRIGHT_TEST_SCALE_FACTOR);
#endif
  // File dialogs remember their last folder in the user's configuration; keep
  // the tests out of it.
  const QTemporaryDir config_home;
  const QTemporaryDir runtime_dir;
  if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"))
    qputenv("XDG_CONFIG_HOME", config_home.path().toLocal8Bit());
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
    qputenv("XDG_RUNTIME_DIR", runtime_dir.path().toLocal8Bit());
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
