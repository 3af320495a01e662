// What became of the items of a run: the scripts note every item they give
// up on and every upload they send and see confirmed, so that the driver
// can tell a good pass from a failed one, and the summary, the notification
// and the exit status can say what happened.
#pragma once
#include <QMap>
#include <QString>

// Why an item was left unmarked.
enum class LeftReason {
  FileMissing,    // not an existing, readable regular file
  ChooserFailed,  // the file chooser could not be served
  NotConfirmed,   // sent, but the result page never confirmed it
  AttemptsUsedUp, // its attempts failed for another reason
  Stopped         // the run was stopped before it was done
};

// The reason as the log and the summary show it.
QString leftReasonText(LeftReason reason);

struct PassReport {
  int givenUp = 0;   // pending items given up in this pass
  int sent = 0;      // uploads submitted (the page answered the post)
  int confirmed = 0; // items marked done in this pass
};

struct RunReport {
  int passes = 0;
  PassReport pass;                 // the pass running or last run
  QMap<QString, LeftReason> left;  // by item path: the latest reason
  int unconfirmedPassesInARow = 0; // passes that sent but confirmed none

  void beginRun() { *this = RunReport(); }
  void beginPass() {
    ++passes;
    pass = PassReport();
  }
  void itemLeft(const QString &path, LeftReason reason) {
    ++pass.givenUp;
    left.insert(path, reason);
  }
  void itemSent() { ++pass.sent; }
  void itemDone(const QString &path) {
    ++pass.confirmed;
    left.remove(path);
  }
};

// The report of the run in progress (or of the last one).
RunReport &runReport();

// Why a queued file cannot be handed to the file chooser ("" when it can):
// it must be an existing, readable regular file.
QString fileProblem(const QString &path);
