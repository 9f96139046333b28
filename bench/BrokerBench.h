#pragma once

#include <QStringList>

class BenchTable;

// The board on a tournament's MQTT broker, through Debian's mosquitto on loopback: F1 to the
// message at 1,000 subscribers (TCP and WebSocket), 20 courts for a minute, and F1 to the
// painted board with the broker on, through a broker killed and started again.
// `rows` picks "broker-fanout", "broker-restart" or "broker-courts"; all when empty.
void runBrokerBench(BenchTable &table, const char *program, const QStringList &rows);
// A court of the 20: a real board (`real`) or the board model and its publisher alone,
// replaying a real match at ten times speed; prints its last change and memory at the end.
int brokerCourtChild(int argc, char **argv);
