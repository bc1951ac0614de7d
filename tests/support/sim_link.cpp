#include "support/sim_link.h"

SimLink::SimLink(sim::Faults f, sim::Eol e)
    : faults(f), eol(e),
      link([this](int, qint32, shell::LinkError *, QString *) -> std::unique_ptr<QIODevice> {
          auto created = std::make_unique<sim::SimDevice>(instrument, faults, eol);
          created->setBaud(baud);
          if (!created->isOpen())
              created->open(QIODevice::ReadWrite);
          device = created.get();
          ++opens;
          return created;
      })
{
    link.setWriteTap([this](const QString &text) { written.append(text); });
}

bool SimLink::open()
{
    link.Port(1);
    link.BaudRate(9600);
    return link.Open();
}

QStringList SimLink::wire() const
{
    QStringList commands;
    if (device) {
        for (const QByteArray &command : device->commands())
            commands.append(QString::fromLatin1(command));
    }
    return commands;
}
