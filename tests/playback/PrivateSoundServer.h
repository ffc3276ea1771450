#pragma once
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <utility>
#include <vector>

namespace sonaveld::test {

// A PulseAudio server of the test's own, with one null sink, reached through a unix socket in a
// temporary folder. The constructor points this process's PULSE_SERVER, HOME and runtime folders
// at that folder (call it before anything talks to a sound server), so nothing touches the
// user's setup. Children die with the test process; the destructor ends them.
class PrivateSoundServer {
 public:
  // sinkArguments: the null sink's module arguments after sink_name (rate, channels, format).
  explicit PrivateSoundServer(QString sinkArguments);
  ~PrivateSoundServer();
  PrivateSoundServer(const PrivateSoundServer&) = delete;
  PrivateSoundServer& operator=(const PrivateSoundServer&) = delete;

  // One more null sink (name, module arguments after sink_name), loaded by every Start; the first
  // sink stays the default output. Call before Start.
  void AddSink(const QString& name, const QString& arguments) { extraSinks_.push_back({name, arguments}); }
  // Starts the server and waits (up to 5 s) until it answers. False with Failure() set when it
  // cannot start here (no pulseaudio, no sockets, refused).
  bool Start();
  // Kills the server at once, as a crash would.
  void Kill();
  const QString& Failure() const { return failure_; }
  QString MonitorName() const { return SinkName() + QStringLiteral(".monitor"); }
  static QString SinkName() { return QStringLiteral("sonaveld_test_null"); }

  // Starts recording the monitor of a sink (the first one when sink is empty) as raw samples of
  // format (s16le, s32le, float32le) at rate and channels into path, and waits until the first
  // bytes arrive. False when the recorder cannot start.
  bool StartRecording(const QString& path, int rate, int channels, const QString& format = QStringLiteral("s16le"),
                      const QString& sink = {});
  // Ends the recording (the recorder is asked to quit, then killed) and returns its bytes.
  QByteArray StopRecording();

 private:
  bool Answers();
  bool MakeFirstSinkDefault();
  static void Finish(QProcess& process);

  QTemporaryDir dir_;
  QString sinkArguments_;
  std::vector<std::pair<QString, QString>> extraSinks_;
  QString failure_;
  QString recordingPath_;
  std::unique_ptr<QProcess> server_;
  std::unique_ptr<QProcess> recorder_;
};

}  // namespace sonaveld::test
