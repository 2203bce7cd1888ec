#pragma once
// Test helpers: a bounded wait, and a probe that records what a socket raises.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/events/TcpSocket.h"
#include "skein10/Events.h"

namespace skein10::test {

// Pumps until `done`, at most `seconds`.
inline bool waitFor(const std::function<bool()>& done, int seconds = 10) {
  return pumpUntil(done, Clock::now() + std::chrono::seconds(seconds));
}

// Attaches to a socket's events: reads every arrival into `received` and
// logs each event as a word ("connect", "close", "sent", "request 3",
// "error 10061").
struct SocketProbe {
  explicit SocketProbe(TcpSocket& socket) : socket(socket) {
    socket.onDataArrival = [this](int32_t total) {
      ++arrivals;
      ByteArray bytes;
      this->socket.GetData(bytes, total);
      received.append(bytes.begin(), bytes.end());
    };
    socket.onClose = [this] { log.push_back("close"); };
    socket.onConnect = [this] { log.push_back("connect"); };
    socket.onConnectionRequest = [this](int32_t id) {
      lastRequest = id;
      log.push_back("request");
    };
    socket.onError = [this](int32_t number, const String& description) {
      log.push_back("error " + std::to_string(number));
      errorText = description;
    };
    socket.onSendComplete = [this] { ++sendsComplete; };
  }

  bool saw(const std::string& word) const {
    for (const auto& w : log) {
      if (w == word) return true;
    }
    return false;
  }

  TcpSocket& socket;
  std::vector<std::string> log;
  std::string received;
  String errorText;
  int arrivals = 0;
  int sendsComplete = 0;
  int32_t lastRequest = 0;
};

// A listener on 127.0.0.1 and a client connected to it; the accepted end is
// `server`, taken by a socket of its own.
struct LoopbackPair {
  LoopbackPair() {
    listener.setLocalIP(u"127.0.0.1");
    listener.Listen();
    client.setRemoteHost(u"127.0.0.1");
    client.setRemotePort(listener.LocalPort());
    client.Connect();
    EXPECT_TRUE(waitFor([&] { return listenerProbe.lastRequest != 0 && clientProbe.saw("connect"); }));
    server.Accept(listenerProbe.lastRequest);
  }

  TcpSocket listener;
  TcpSocket server;
  TcpSocket client;
  SocketProbe listenerProbe{listener};
  SocketProbe serverProbe{server};
  SocketProbe clientProbe{client};
};

}  // namespace skein10::test
