#pragma once
// One SNPP client's conversation with the gateway, without sockets: bytes in, replies out.
// A transaction (PAGE, MESS or DATA, and the level 2 options) goes to the gateway once, at
// SEND; until the gateway has answered, the session takes no further command, so a client
// hears of its page before it can say anything else. Plain C++.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "paging/snpp/snpp.h"

namespace snpp {

struct Limits {
    size_t lineLength = 32 * 1024;  // bytes of one command or DATA line
    size_t recipients = 100;        // PAGE commands of one transaction
    int errors = 20;                // refused commands in a row before the session is closed
};

struct Transaction {
    std::vector<std::string> recipients;  // directory names, as the gateway resolved them
    std::string text;                     // Windows-1252: the subject, then the message
    std::optional<HoldTime> hold;
    std::string callerId;
    std::string user;  // the LOGIn name, empty without one
};

struct Outcome {
    int code = 250;  // 250 taken; 421 nothing taken and the session ends; 5xx refused
    std::string text;
};

class IGateway {
public:
    virtual ~IGateway() = default;
    // The directory name a PAGE argument stands for; none when no subscriber or group has it.
    virtual std::optional<std::string> Resolve(std::string_view pagerId) = 0;
    virtual bool LoginRequired() const = 0;
    virtual bool CheckLogin(std::string_view user, std::string_view password) = 0;
    // The message text as the gateway takes it, or none with the reason in *error.
    virtual std::optional<std::string> TakeText(std::string_view bytes, std::string* error) = 0;
    // Hands the transaction over; the gateway answers later with Session::Finish.
    virtual void Submit(const Transaction& transaction) = 0;
};

class Session {
public:
    Session(IGateway& gateway, Limits limits);

    static std::string Greeting();
    // Bytes from the client; returns the replies to send. Bytes that come while a transaction
    // is with the gateway are kept and taken after Finish.
    std::string Receive(std::string_view bytes);
    // The gateway's answer to the last Submit; returns the replies, including those to any
    // commands that were waiting.
    std::string Finish(const Outcome& outcome);

    bool Waiting() const { return state_ == State::Waiting; }
    // The last reply ended the session (QUIT, 421): send the replies, then close.
    bool Closed() const { return state_ == State::Closed; }
    // What a client that stopped talking is told before it is closed.
    static std::string TimeoutReply();

private:
    enum class State { Command, Data, Waiting, Closed };
    std::string Take(std::string_view bytes);
    std::string OnLine(const std::string& line);
    std::string OnCommand(const Command& command);
    std::string OnDataLine(const std::string& line);
    std::string Refuse(int code, std::string_view text);
    std::string Accept(int code, std::string_view text);
    std::string SetMessage(std::string_view bytes);
    std::string Send();
    void Reset();

    IGateway& gateway_;
    Limits limits_;
    LineReader reader_;
    State state_ = State::Command;
    int errorsInRow_ = 0;
    std::string held_;  // input that came while waiting
    std::string user_;
    bool loggedIn_ = false;
    // The transaction being put together.
    std::vector<std::string> recipients_;
    std::optional<std::string> message_;
    std::string subject_;
    std::optional<HoldTime> hold_;
    std::string callerId_;
    std::string data_;  // DATA lines so far
    bool dataTooLong_ = false;
};

}  // namespace snpp
