#include "playback/PrivateSoundServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <csignal>
#include <sys/prctl.h>

namespace sonaveld::test {
namespace {

// A child that outlives a crashed or killed test would hold the socket and run forever.
void DieWithParent() { ::prctl(PR_SET_PDEATHSIG, SIGKILL); }

std::unique_ptr<QProcess> Child() {
  auto process = std::make_unique<QProcess>();
  process->setChildProcessModifier(DieWithParent);
  return process;
}

}  // namespace

PrivateSoundServer::PrivateSoundServer(QString sinkArguments)
    : dir_(QStringLiteral("/tmp/sonaveld-pulse-XXXXXX")), sinkArguments_(std::move(sinkArguments)) {
  const QString root = dir_.path();
  for (const char* sub : {"/home", "/run", "/state"}) QDir().mkpath(root + QLatin1String(sub));
  QFile config(root + QStringLiteral("/client.conf"));
  if (config.open(QIODevice::WriteOnly)) config.write("autospawn = no\n");
  const std::pair<const char*, QString> environment[] = {
      {"HOME", root + "/home"},           {"XDG_CONFIG_HOME", root + "/home"},
      {"XDG_RUNTIME_DIR", root + "/run"}, {"PULSE_RUNTIME_PATH", root + "/run"},
      {"PULSE_STATE_PATH", root + "/state"}, {"PULSE_CLIENTCONFIG", config.fileName()},
      {"PULSE_SERVER", "unix:" + root + "/run/native"}};
  for (const auto& [name, value] : environment) qputenv(name, value.toLocal8Bit());
  qunsetenv("DBUS_SESSION_BUS_ADDRESS");
}

PrivateSoundServer::~PrivateSoundServer() {
  if (recorder_) Finish(*recorder_);
  if (server_) Finish(*server_);
}

bool PrivateSoundServer::Start() {
  if (!dir_.isValid()) {
    failure_ = QStringLiteral("no temporary folder");
    return false;
  }
  const QString socket = dir_.path() + QStringLiteral("/run/native");
  server_ = Child();
  server_->setProcessChannelMode(QProcess::MergedChannels);
  QStringList arguments = {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                           QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                           QStringLiteral("--disable-shm=yes"), QStringLiteral("--log-target=stderr"),
                           QStringLiteral("-L"),
                           QStringLiteral("module-null-sink sink_name=") + SinkName() + ' ' + sinkArguments_};
  for (const auto& [name, sinkArguments] : extraSinks_) {
    arguments << QStringLiteral("-L") << QStringLiteral("module-null-sink sink_name=") + name + ' ' + sinkArguments;
  }
  arguments << QStringLiteral("-L") << QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + socket;
  server_->start(QStringLiteral("pulseaudio"), arguments);
  if (!server_->waitForStarted(5000)) {
    failure_ = QStringLiteral("pulseaudio cannot be started: ") + server_->errorString();
    return false;
  }
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 5000) {
    if (server_->state() == QProcess::NotRunning) {
      failure_ = QStringLiteral("pulseaudio ended at once: ") +
                 QString::fromLocal8Bit(server_->readAll()).trimmed().right(400);
      return false;
    }
    if (QFileInfo::exists(socket) && Answers()) return extraSinks_.empty() || MakeFirstSinkDefault();
    QThread::msleep(50);
  }
  failure_ = QStringLiteral("pulseaudio does not answer within 5 s");
  return false;
}

void PrivateSoundServer::Kill() {
  if (!server_) return;
  server_->kill();
  server_->waitForFinished(3000);
  QFile::remove(dir_.path() + QStringLiteral("/run/native"));
}

bool PrivateSoundServer::Answers() {
  QProcess info;
  info.start(QStringLiteral("pactl"), {QStringLiteral("info")});
  if (!info.waitForFinished(2000)) {
    info.kill();
    info.waitForFinished();
    return false;
  }
  return info.exitStatus() == QProcess::NormalExit && info.exitCode() == 0;
}

bool PrivateSoundServer::MakeFirstSinkDefault() {
  QProcess set;
  set.start(QStringLiteral("pactl"), {QStringLiteral("set-default-sink"), SinkName()});
  if (set.waitForFinished(2000) && set.exitStatus() == QProcess::NormalExit && set.exitCode() == 0) return true;
  failure_ = QStringLiteral("the first null sink cannot be made the default");
  return false;
}

bool PrivateSoundServer::StartRecording(const QString& path, int rate, int channels, const QString& format,
                                        const QString& sink) {
  recordingPath_ = path;
  recorder_ = Child();
  recorder_->setStandardOutputFile(path);
  const QString monitor = sink.isEmpty() ? MonitorName() : sink + QStringLiteral(".monitor");
  recorder_->start(QStringLiteral("parec"),
                   {QStringLiteral("--device=") + monitor, QStringLiteral("--format=") + format,
                    QStringLiteral("--rate=%1").arg(rate), QStringLiteral("--channels=%1").arg(channels),
                    QStringLiteral("--latency-msec=20")});
  if (!recorder_->waitForStarted(5000)) return false;
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 5000 && recorder_->state() == QProcess::Running) {
    if (QFileInfo(path).size() > 0) return true;
    QThread::msleep(20);
  }
  return false;
}

QByteArray PrivateSoundServer::StopRecording() {
  if (recorder_) Finish(*recorder_);
  recorder_.reset();
  QFile file(recordingPath_);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void PrivateSoundServer::Finish(QProcess& process) {
  if (process.state() == QProcess::NotRunning) return;
  process.terminate();
  if (!process.waitForFinished(2000)) {
    process.kill();
    process.waitForFinished(2000);
  }
}

}  // namespace sonaveld::test
