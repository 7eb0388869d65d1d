#include "../ui/wdwmain.h"

void WdwMain::PopupSerialPort_Open()
{
}

void WdwMain::PopupSerialPort_Change()
{
}

void WdwMain::PopupComputerBaudRate_Change()
{
}

void WdwMain::PushButton1_Action()
{
}

bool WdwMain::OpenSerialPort(qint32 portIndex, qint32 baudRate)
{
    return false;
}

void WdwMain::TryOpenSerialAndConnect()
{
}

void WdwMain::SendData(const QByteArray& command, bool carriageReturn)
{
}

void WdwMain::SerPort_DataAvailable()
{
}

void WdwMain::SerPort_Lost(const QString& why)
{
}
