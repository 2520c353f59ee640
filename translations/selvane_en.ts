<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="it">
<context>
    <name>AprsIs</name>
    <message>
        <source>spento</source>
        <translation>off</translation>
    </message>
    <message>
        <source>connessione...</source>
        <translation>connecting...</translation>
    </message>
    <message>
        <source>connesso e verificato</source>
        <translation>connected and verified</translation>
    </message>
    <message>
        <source>connesso, NON verificato: il server scarta i pacchetti caricati</source>
        <translation>connected, NOT verified: the server drops the uploaded packets</translation>
    </message>
    <message>
        <source>errore</source>
        <translation>error</translation>
    </message>
</context>
<context>
    <name>AprsIsConfig</name>
    <message>
        <source>&quot;enabled&quot; deve essere yes o no</source>
        <translation>&quot;enabled&quot; must be yes or no</translation>
    </message>
    <message>
        <source>&quot;server&quot; deve essere host:porta</source>
        <translation>&quot;server&quot; must be host:port</translation>
    </message>
    <message>
        <source>&quot;call&quot; deve avere da 1 a 9 lettere, cifre o &quot;-&quot;</source>
        <translation>&quot;call&quot; must have 1 to 9 letters, digits or &quot;-&quot;</translation>
    </message>
    <message>
        <source>&quot;passcode&quot; deve essere un numero da -1 a 32767</source>
        <translation>&quot;passcode&quot; must be a number from -1 to 32767</translation>
    </message>
    <message>
        <source>chiave sconosciuta &quot;%1&quot;</source>
        <translation>unknown key &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>ConfigFile</name>
    <message>
        <source>carattere di controllo nella riga</source>
        <translation>control character in the line</translation>
    </message>
    <message>
        <source>intestazione di sezione non valida</source>
        <translation>invalid section header</translation>
    </message>
    <message>
        <source>non è nella forma chiave = valore</source>
        <translation>not in the form key = value</translation>
    </message>
</context>
<context>
    <name>Dispatcher</name>
    <message>
        <source>%1 - %2</source>
        <translation>%1 - %2</translation>
    </message>
    <message>
        <source>Porte Radio di AGWPE: %1</source>
        <translation>AGWPE radio ports: %1</translation>
    </message>
    <message>
        <source>Gateway connesso a AGWPE v%1.%2</source>
        <translation>Gateway connected to AGWPE v%1.%2</translation>
    </message>
    <message>
        <source>ToSats/ToOut/Tot dal %1 %2 =%3/%4/%5</source>
        <translation>ToSats/ToOut/Tot since %1 %2 =%3/%4/%5</translation>
    </message>
    <message>
        <source>%1 trattenuti %2</source>
        <translation>%1 held %2</translation>
    </message>
</context>
<context>
    <name>EngineProfile</name>
    <message>
        <source>Dire Wolf-compatibile</source>
        <translation>Dire Wolf compatible</translation>
    </message>
    <message>
        <source>AGW Packet Engine</source>
        <translation>AGW Packet Engine</translation>
    </message>
    <message>
        <source>Profilo: automatico</source>
        <translation>Profile: automatic</translation>
    </message>
    <message>
        <source>Profilo: %1 (automatico)</source>
        <translation>Profile: %1 (automatic)</translation>
    </message>
    <message>
        <source>Profilo: %1</source>
        <translation>Profile: %1</translation>
    </message>
</context>
<context>
    <name>FolderLock</name>
    <message>
        <source>Un altro Selvane lavora già nella cartella %1 (%2, processo %3 su %4).</source>
        <translation>Another Selvane is already working in the folder %1 (%2, process %3 on %4).</translation>
    </message>
    <message>
        <source>Un altro Selvane lavora già nella cartella %1.</source>
        <translation>Another Selvane is already working in the folder %1.</translation>
    </message>
</context>
<context>
    <name>QtDialogs</name>
    <message>
        <source>Errore collegamento con AGWPE</source>
        <translation>AGWPE connection error</translation>
    </message>
    <message>
        <source>Daily logs cannot be saved</source>
        <translation>Daily logs cannot be saved</translation>
    </message>
    <message>
        <source>Errore Creazione Directory Logs</source>
        <translation>Error creating the Logs folder</translation>
    </message>
    <message>
        <source>Load Error</source>
        <translation>Load Error</translation>
    </message>
    <message>
        <source>%1 is NOT a TLM file</source>
        <translation>%1 is NOT a TLM file</translation>
    </message>
    <message>
        <source>Load PCSAT Telemetry History</source>
        <translation>Load PCSAT Telemetry History</translation>
    </message>
    <message>
        <source>Tutti i files (*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>Telemetry History (*.tlh)</source>
        <translation>Telemetry History (*.tlh)</translation>
    </message>
</context>
<context>
    <name>SafeFile</name>
    <message>
        <source>non è un file regolare (dispositivo, FIFO, socket o cartella): non viene aperto</source>
        <translation>not a regular file (device, FIFO, socket or folder): not opened</translation>
    </message>
    <message>
        <source>troppo grande (%1 byte, al massimo %2)</source>
        <translation>too large (%1 bytes, at most %2)</translation>
    </message>
    <message>
        <source>troppo grande (più di %1 byte)</source>
        <translation>too large (more than %1 bytes)</translation>
    </message>
    <message>
        <source>è un collegamento a un file che non esiste: non viene scritto</source>
        <translation>a link to a file that does not exist: not written</translation>
    </message>
</context>
<context>
    <name>StationConfig</name>
    <message>
        <source>%1, riga %2: %3 (ignorata)</source>
        <translation>%1, line %2: %3 (ignored)</translation>
    </message>
    <message>
        <source>nominativi non validi (lettere, cifre e &quot;-&quot;, separati da virgole)</source>
        <translation>invalid calls (letters, digits and &quot;-&quot;, separated by commas)</translation>
    </message>
    <message>
        <source>&quot;enabled&quot; deve essere yes o no</source>
        <translation>&quot;enabled&quot; must be yes or no</translation>
    </message>
    <message>
        <source>&quot;%1&quot; non è un nominativo (CALL o CALL-*)</source>
        <translation>&quot;%1&quot; is not a call (CALL or CALL-*)</translation>
    </message>
    <message>
        <source>&quot;uplink-as&quot; deve essere un nominativo AX.25 (al più 6 caratteri e SSID 0-15)</source>
        <translation>&quot;uplink-as&quot; must be an AX.25 call (at most 6 characters and SSID 0-15)</translation>
    </message>
    <message>
        <source>&quot;needs-gate-to-out&quot; deve essere yes o no</source>
        <translation>&quot;needs-gate-to-out&quot; must be yes or no</translation>
    </message>
    <message>
        <source>&quot;telemetry&quot; deve essere pcsat o none</source>
        <translation>&quot;telemetry&quot; must be pcsat or none</translation>
    </message>
    <message>
        <source>chiave sconosciuta &quot;%1&quot;</source>
        <translation>unknown key &quot;%1&quot;</translation>
    </message>
    <message>
        <source>&quot;%1&quot; deve essere un numero da 0 a %2</source>
        <translation>&quot;%1&quot; must be a number from 0 to %2</translation>
    </message>
    <message>
        <source>il satellite %1 non ha nominativi (digipeaters)</source>
        <translation>the satellite %1 has no calls (digipeaters)</translation>
    </message>
    <message>
        <source>fuori da ogni sezione</source>
        <translation>outside any section</translation>
    </message>
    <message>
        <source>sezione sconosciuta [%1]</source>
        <translation>unknown section [%1]</translation>
    </message>
    <message>
        <source>%1: %2 (valgono le impostazioni predefinite)</source>
        <translation>%1: %2 (the default settings apply)</translation>
    </message>
</context>
<context>
    <name>Telemetry</name>
    <message>
        <source>Current PCSAT Telemetry - %1</source>
        <translation>Current PCSAT Telemetry - %1</translation>
    </message>
    <message>
        <source>Today PCSAT TLM History - %1</source>
        <translation>Today PCSAT TLM History - %1</translation>
    </message>
    <message>
        <source>PCSAT TLM History - %1</source>
        <translation>PCSAT TLM History - %1</translation>
    </message>
</context>
<context>
    <name>selvane::AgwLink</name>
    <message>
        <source>%1 disabilitato</source>
        <translation>%1 disabled</translation>
    </message>
    <message>
        <source>Connessione ad AGW Packet Engine chiusa</source>
        <translation>Connection to the AGW Packet Engine closed</translation>
    </message>
    <message>
        <source>Collegamento con AGWPE perso: nuovo tentativo alle %1</source>
        <translation>Connection to AGWPE lost: trying again at %1</translation>
    </message>
    <message>
        <source>%1 in riconnessione</source>
        <translation>%1 reconnecting</translation>
    </message>
    <message>
        <source>%1 abilitato</source>
        <translation>%1 enabled</translation>
    </message>
    <message>
        <source>flusso dal motore fuori passo</source>
        <translation>stream from the engine out of step</translation>
    </message>
    <message>
        <source>Connessione ad AGW Packet Engine chiusa: %1</source>
        <translation>Connection to the AGW Packet Engine closed: %1</translation>
    </message>
    <message>
        <source>The remote host closed the connection</source>
        <translation>The remote host closed the connection</translation>
    </message>
    <message>
        <source>AGWPE non legge: pacchetti da trasmettere scartati</source>
        <translation>AGWPE is not reading: packets to transmit dropped</translation>
    </message>
</context>
<context>
    <name>selvane::AprsIsClient</name>
    <message>
        <source>il server ha chiuso il collegamento</source>
        <translation>the server closed the connection</translation>
    </message>
    <message>
        <source>nessuna notizia dal server da %1 s</source>
        <translation>nothing heard from the server for %1 s</translation>
    </message>
    <message>
        <source>%1:%2: %3; nuovo tentativo tra %4 s</source>
        <translation>%1:%2: %3; trying again in %4 s</translation>
    </message>
    <message>
        <source>%1:%2, accesso come %3</source>
        <translation>%1:%2, logging in as %3</translation>
    </message>
    <message>
        <source>server %1 (%2:%3), accesso come %4</source>
        <translation>server %1 (%2:%3), logged in as %4</translation>
    </message>
</context>
<context>
    <name>selvane::AprsIsDialog</name>
    <message>
        <source>Carica su APRS-IS i pacchetti ricevuti sulle porte Sats</source>
        <translation>Upload the packets heard on the Sats ports to APRS-IS</translation>
    </message>
    <message>
        <source>%1 (del gateway)</source>
        <translation>%1 (the gateway&apos;s)</translation>
    </message>
    <message>
        <source>nessuno</source>
        <translation>none</translation>
    </message>
    <message>
        <source>nessuno (per esempio r/45.4/9.2/200)</source>
        <translation>none (for example r/45.4/9.2/200)</translation>
    </message>
    <message>
        <source>Server (host:porta)</source>
        <translation>Server (host:port)</translation>
    </message>
    <message>
        <source>Nominativo</source>
        <translation>Call</translation>
    </message>
    <message>
        <source>Passcode</source>
        <translation>Passcode</translation>
    </message>
    <message>
        <source>Filtro</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Il server va scritto host:porta, per esempio %1.</source>
        <translation>Write the server as host:port, for example %1.</translation>
    </message>
    <message>
        <source>Il nominativo non è valido per APRS-IS (da 1 a 9 lettere, cifre o &quot;-&quot;).</source>
        <translation>The call is not valid for APRS-IS (1 to 9 letters, digits or &quot;-&quot;).</translation>
    </message>
    <message>
        <source>Nessun nominativo: scriverlo qui o come nominativo del gateway.</source>
        <translation>No call: write it here or as the gateway&apos;s call.</translation>
    </message>
    <message>
        <source>Senza passcode il server accetta %1 come non verificato e scarta i pacchetti caricati.</source>
        <translation>Without a passcode the server accepts %1 as unverified and drops the uploaded packets.</translation>
    </message>
    <message>
        <source>Il passcode non corrisponde al nominativo %1: il server accetta il collegamento come non verificato e scarta i pacchetti caricati.</source>
        <translation>The passcode does not match the call %1: the server accepts the login as unverified and drops the uploaded packets.</translation>
    </message>
</context>
<context>
    <name>selvane::AprsIsGate</name>
    <message>
        <source>il server &quot;%1&quot; non è nella forma host:porta</source>
        <translation>the server &quot;%1&quot; is not in the form host:port</translation>
    </message>
    <message>
        <source>nessun nominativo di accesso: impostare call nella sezione [aprs-is] di selvane.conf o il nominativo del gateway</source>
        <translation>no login call: set call in the [aprs-is] section of selvane.conf, or the gateway call</translation>
    </message>
    <message>
        <source>&quot;%1&quot; non è un nominativo che APRS-IS accetta</source>
        <translation>&quot;%1&quot; is not a call APRS-IS accepts</translation>
    </message>
    <message>
        <source>APRS-IS: %1</source>
        <translation>APRS-IS: %1</translation>
    </message>
    <message>
        <source>APRS-IS: %1 (%2)</source>
        <translation>APRS-IS: %1 (%2)</translation>
    </message>
</context>
<context>
    <name>selvane::HeadlessGateway</name>
    <message>
        <source>%1 porta %2 -&gt; %3: %4</source>
        <translation>%1 port %2 -&gt; %3: %4</translation>
    </message>
    <message>
        <source>su (Out -&gt; Sats)</source>
        <translation>up (Out -&gt; Sats)</translation>
    </message>
    <message>
        <source>giu (Sats -&gt; Out)</source>
        <translation>down (Sats -&gt; Out)</translation>
    </message>
    <message>
        <source>nessuna porta</source>
        <translation>no port</translation>
    </message>
    <message>
        <source>duplicato trattenuto: %1:%2</source>
        <translation>duplicate held back: %1:%2</translation>
    </message>
    <message>
        <source>trattenuto dal limite di salita (%1 al minuto, %2 in 5 minuti; trattenuti %3): %4</source>
        <translation>held back by the uplink limit (%1 a minute, %2 in 5 minutes; %3 held): %4</translation>
    </message>
    <message>
        <source>non ritrasmesso, nominativo che la radio non può portare: %1&gt;%2 (porta %3)</source>
        <translation>not sent on, a call the radio cannot carry: %1&gt;%2 (port %3)</translation>
    </message>
    <message>
        <source>file non scritto, il gateway continua: %1</source>
        <translation>file not written, the gateway goes on: %1</translation>
    </message>
    <message>
        <source>file di nuovo scritti</source>
        <translation>files written again</translation>
    </message>
    <message>
        <source>connesso a %1:%2</source>
        <translation>connected to %1:%2</translation>
    </message>
    <message>
        <source>Gateway connesso a AGWPE v%1.%2</source>
        <translation>Gateway connected to AGWPE v%1.%2</translation>
    </message>
    <message>
        <source>porta radio: %1</source>
        <translation>radio port: %1</translation>
    </message>
    <message>
        <source>errore collegamento con AGWPE: %1</source>
        <translation>AGWPE connection error: %1</translation>
    </message>
    <message>
        <source>flusso dal motore fuori passo: connessione chiusa e riaperta</source>
        <translation>stream from the engine out of step: connection closed and opened again</translation>
    </message>
    <message>
        <source>il motore non legge: i pacchetti da trasmettere vengono scartati</source>
        <translation>the engine is not reading: packets to transmit are dropped</translation>
    </message>
    <message>
        <source>il motore legge di nuovo: %1 pacchetti scartati (%2 in tutto)</source>
        <translation>the engine is reading again: %1 packets dropped (%2 in all)</translation>
    </message>
    <message>
        <source>collegamento perso (%1): nuovo tentativo tra %2 s</source>
        <translation>connection lost (%1): trying again in %2 s</translation>
    </message>
    <message>
        <source>telemetria PCSAT: %1</source>
        <translation>PCSAT telemetry: %1</translation>
    </message>
    <message>
        <source>ATTENZIONE: %1</source>
        <translation>WARNING: %1</translation>
    </message>
    <message>
        <source>APRS-IS &lt;- %1</source>
        <translation>APRS-IS &lt;- %1</translation>
    </message>
    <message>
        <source>impossibile creare la cartella %1: log e storico telemetria non saranno scritti</source>
        <translation>cannot create the folder %1: logs and telemetry history will not be written</translation>
    </message>
    <message>
        <source>%1 mancante o danneggiato: sostituito con le impostazioni predefinite</source>
        <translation>%1 missing or damaged: replaced with the default settings</translation>
    </message>
    <message>
        <source>impostazioni: %1</source>
        <translation>settings: %1</translation>
    </message>
    <message>
        <source>%1 illeggibile o danneggiato: restano le impostazioni in uso</source>
        <translation>%1 unreadable or damaged: the settings in use stay</translation>
    </message>
    <message>
        <source>impostazioni rilette (SIGHUP): %1</source>
        <translation>settings read again (SIGHUP): %1</translation>
    </message>
    <message>
        <source>nessun satellite abilitato in %1: il gateway non inoltra nulla</source>
        <translation>no satellite enabled in %1: the gateway sends nothing on</translation>
    </message>
    <message>
        <source>nessun nominativo impostato (call): i pacchetti escono con %1, che non identifica la stazione</source>
        <translation>no call set (call): packets go out with %1, which identifies no station</translation>
    </message>
    <message>
        <source>si</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>no</source>
        <translation>no</translation>
    </message>
    <message>
        <source>call=%1 via=%2 Sats=%3 Out=%4 duplicati=%5s motore=%6:%7 profilo=%8 GateToOut=%9 GateToSats=%10 GateTelemetry=%11 Logs=%12 satelliti=%13 salita=%14/min,%15/5min</source>
        <translation>call=%1 via=%2 Sats=%3 Out=%4 duplicates=%5s engine=%6:%7 profile=%8 GateToOut=%9 GateToSats=%10 GateTelemetry=%11 Logs=%12 satellites=%13 uplink=%14/min,%15/5min</translation>
    </message>
    <message>
        <source>automatico</source>
        <translation>automatic</translation>
    </message>
    <message>
        <source>nessuno</source>
        <translation>none</translation>
    </message>
</context>
<context>
    <name>selvane::MainWindow</name>
    <message>
        <source>Numero porte AGWPE e relativa descrizione.</source>
        <translation>Number of AGWPE ports and their description.</translation>
    </message>
    <message>
        <source>Premere START per attivare la connessione...</source>
        <translation>Press START to connect...</translation>
    </message>
    <message>
        <source>Stato connessione AGWPE e pacchetti lavorati.</source>
        <translation>AGWPE connection state and packets handled.</translation>
    </message>
    <message>
        <source>Avvia/arresta il gateway.</source>
        <translation>Starts/stops the gateway.</translation>
    </message>
    <message>
        <source>AGW Packet Engine Information - %1</source>
        <translation>AGW Packet Engine Information - %1</translation>
    </message>
    <message>
        <source>Gate to Sats</source>
        <translation>Gate to Sats</translation>
    </message>
    <message>
        <source>Abilita la ritrasmissione dalla porta(e) Out alla porta(e) Sats dei pacchetti via PCSAT / ISS</source>
        <translation>Sends packets via PCSAT / ISS from the Out port(s) to the Sats port(s)</translation>
    </message>
    <message>
        <source>Gate to Out</source>
        <translation>Gate to Out</translation>
    </message>
    <message>
        <source>Abilita la ritrasmissione dei pacchetti e telemetria dalla porta(e) Sats alla porta(e) Out.</source>
        <translation>Sends packets and telemetry from the Sats port(s) to the Out port(s).</translation>
    </message>
    <message>
        <source>Gate Telemetry</source>
        <translation>Gate Telemetry</translation>
    </message>
    <message>
        <source>Abilita alla trasmissione sulla porta(e) Out dei bollettini di Telemetria del PCSAT.</source>
        <translation>Sends the PCSAT telemetry bulletins on the Out port(s).</translation>
    </message>
    <message>
        <source>Gateway Parameters</source>
        <translation>Gateway Parameters</translation>
    </message>
    <message>
        <source>Via</source>
        <translation>Via</translation>
    </message>
    <message>
        <source>Via Path dei pacchetti da ritrasmettere sulla porta(e) Out.</source>
        <translation>Via path of the packets sent on the Out port(s).</translation>
    </message>
    <message>
        <source>Call</source>
        <translation>Call</translation>
    </message>
    <message>
        <source>Inserire il nominativo del gateway (il proprio nominativo).</source>
        <translation>The gateway&apos;s call sign (your own call).</translation>
    </message>
    <message>
        <source>Sats</source>
        <translation>Sats</translation>
    </message>
    <message>
        <source>Porta(e) AGWPE che riveve i pacchetti dal Pcsat / Iss. Si possono specificare più porte separate da virgole.</source>
        <translation>AGWPE port(s) receiving the packets from PCSAT / ISS. Several ports can be given, separated by commas.</translation>
    </message>
    <message>
        <source>Out</source>
        <translation>Out</translation>
    </message>
    <message>
        <source>Porta(e) AGWPE di ritrasmissione pacchetti. Si possono specificare più porte separate da virgole.</source>
        <translation>AGWPE port(s) the packets are sent on. Several ports can be given, separated by commas.</translation>
    </message>
    <message>
        <source>Dup</source>
        <translation>Dup</translation>
    </message>
    <message>
        <source>Tempo in secondi entro il quale pacchetti uguali non vengono ritrasmessi.</source>
        <translation>Seconds within which the same packet is not sent again.</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>Indirizzo IP di AGWPE. Normalnente è localhost</source>
        <translation>IP address of AGWPE. Usually localhost</translation>
    </message>
    <message>
        <source>AGW Packet Engine Received Packets  - all Ports -</source>
        <translation>AGW Packet Engine Received Packets  - all Ports -</translation>
    </message>
    <message>
        <source>Pacchetti ricevuti. Sfondo: Giallo=ritrasmessi  Verde=altre porte  Verde chiaro=duplicati.</source>
        <translation>Packets received. Background: yellow=sent on  green=other ports  light green=duplicates.</translation>
    </message>
    <message>
        <source>Show Tlm</source>
        <translation>Show Tlm</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Hide</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Finestra Telemetria PCSAT sempre visibile.</source>
        <translation>PCSAT telemetry window always shown.</translation>
    </message>
    <message>
        <source>Finestra Telemetria PCSAT sempre nascosta.</source>
        <translation>PCSAT telemetry window always hidden.</translation>
    </message>
    <message>
        <source>Finestra di telemetria visibile in presenza di pacchetti di TLM per 15 minuti.</source>
        <translation>Telemetry window shown for 15 minutes when TLM packets arrive.</translation>
    </message>
    <message>
        <source>Logs</source>
        <translation>Logs</translation>
    </message>
    <message>
        <source>Abilita la scrittura dei pacchetti ritrasmessi su un log compatibile UI-View e della telemetria PCSAT.</source>
        <translation>Writes the packets sent on to a UI-View compatible log, and the PCSAT telemetry.</translation>
    </message>
    <message>
        <source>AGW Paket Engine Transmitted Packets - all Ports -</source>
        <translation>AGW Paket Engine Transmitted Packets - all Ports -</translation>
    </message>
    <message>
        <source>Pacchetti trasmessi.</source>
        <translation>Packets transmitted.</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Esci</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>&amp;Impostazioni</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>Profilo motore automatico (dalla versione)</source>
        <translation>Automatic engine profile (from the version)</translation>
    </message>
    <message>
        <source>AGW Packet Engine (via RS0ISSP)</source>
        <translation>AGW Packet Engine (via RS0ISSP)</translation>
    </message>
    <message>
        <source>Dire Wolf-compatibile (via RS0ISS*)</source>
        <translation>Dire Wolf compatible (via RS0ISS*)</translation>
    </message>
    <message>
        <source>Riconnetti automaticamente</source>
        <translation>Reconnect automatically</translation>
    </message>
    <message>
        <source>APRS-IS...</source>
        <translation>APRS-IS...</translation>
    </message>
    <message>
        <source>Satelliti...</source>
        <translation>Satellites...</translation>
    </message>
    <message>
        <source>Fi&amp;nestre</source>
        <translation>&amp;Windows</translation>
    </message>
    <message>
        <source>Finestra telemetria PCSAT</source>
        <translation>PCSAT telemetry window</translation>
    </message>
    <message>
        <source>Riduci nell&apos;area di notifica</source>
        <translation>Minimise to the system tray</translation>
    </message>
    <message>
        <source>&amp;Aiuto</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Guida ai comandi</source>
        <translation>Controls</translation>
    </message>
    <message>
        <source>Informazioni su Selvane</source>
        <translation>About Selvane</translation>
    </message>
    <message>
        <source>Esci</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Mostra Selvane</source>
        <translation>Show Selvane</translation>
    </message>
    <message>
        <source>Nascondi Selvane</source>
        <translation>Hide Selvane</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;START / STOP&lt;/b&gt;: collega Selvane al motore (AGW Packet Engine o Dire Wolf) all&apos;indirizzo IP, porta 8000, e avvia il gateway; STOP chiude il collegamento. Senza collegamento nulla viene inoltrato.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Riga di stato&lt;/b&gt;: lo stato del collegamento, poi i contatori ToSats/ToOut/Tot: pacchetti inviati ai satelliti, alla rete locale e in tutto dall&apos;ultimo START. &lt;b&gt;Elenco porte&lt;/b&gt;: le porte radio del motore, numerate da 1.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Gate to Sats&lt;/b&gt;: invia ai satelliti i pacchetti indirizzati via il nominativo del gateway e un satellite. &lt;b&gt;Gate to Out&lt;/b&gt;: invia alla rete locale anche i pacchetti ripetuti da PCSAT e quelli inviati da un satellite. &lt;b&gt;Gate Telemetry&lt;/b&gt;: invia alla rete locale i bollettini della telemetria di PCSAT.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Via&lt;/b&gt;: il percorso aggiunto ai pacchetti inviati alla rete locale. &lt;b&gt;Call&lt;/b&gt;: il proprio nominativo. &lt;b&gt;Sats&lt;/b&gt; e &lt;b&gt;Out&lt;/b&gt;: le porte che ascoltano i satelliti e quelle della rete locale (cifre da 1 a 9, per esempio 1,2). &lt;b&gt;Dup&lt;/b&gt;: i secondi entro i quali lo stesso pacchetto non viene inviato di nuovo. &lt;b&gt;IP&lt;/b&gt;: l&apos;indirizzo del motore.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Show Tlm / Hide / Auto&lt;/b&gt;: la finestra della telemetria sempre visibile, sempre nascosta, o visibile per 15 minuti quando arriva telemetria. &lt;b&gt;Logs&lt;/b&gt;: scrive i pacchetti inviati e la telemetria nella cartella Logs.&lt;/p&gt;&lt;p&gt;Gli elenchi mostrano l&apos;ultimo pacchetto ricevuto (giallo: inviato; verde: non per il gateway; verde chiaro: duplicato trattenuto) e l&apos;ultimo trasmesso. Le impostazioni sono salvate in Selvane.ini alla chiusura; ridotta a icona, la finestra resta nell&apos;area di notifica.&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;START / STOP&lt;/b&gt;: connects Selvane to the engine (AGW Packet Engine or Dire Wolf) at the IP address, port 8000, and starts the gateway; STOP closes the connection. Without a connection nothing is sent on.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Status line&lt;/b&gt;: the state of the connection, then the counters ToSats/ToOut/Tot: packets sent up to the satellites, down to the local network, and in all since the last START. &lt;b&gt;Port list&lt;/b&gt;: the engine&apos;s radio ports, numbered from 1.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Gate to Sats&lt;/b&gt;: sends up to the satellites the packets addressed via the gateway&apos;s call and a satellite. &lt;b&gt;Gate to Out&lt;/b&gt;: also sends down to the local network the packets repeated by PCSAT and those sent by a satellite. &lt;b&gt;Gate Telemetry&lt;/b&gt;: sends the PCSAT telemetry bulletins down to the local network.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Via&lt;/b&gt;: the path added to packets sent to the local network. &lt;b&gt;Call&lt;/b&gt;: your own call. &lt;b&gt;Sats&lt;/b&gt; and &lt;b&gt;Out&lt;/b&gt;: the ports listening to the satellites and those of the local network (digits 1 to 9, for example 1,2). &lt;b&gt;Dup&lt;/b&gt;: the seconds within which the same packet is not sent again. &lt;b&gt;IP&lt;/b&gt;: the engine&apos;s address.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Show Tlm / Hide / Auto&lt;/b&gt;: the telemetry window always shown, always hidden, or shown for 15 minutes when telemetry arrives. &lt;b&gt;Logs&lt;/b&gt;: writes the packets sent on and the telemetry to the Logs folder.&lt;/p&gt;&lt;p&gt;The lists show the last packet received (yellow: sent on; green: not for the gateway; light green: duplicate held back) and the last one transmitted. The settings are saved to Selvane.ini when the window is closed; minimised, the window waits in the system tray.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Selvane %1&lt;/h3&gt;&lt;p&gt;Gateway per i pacchetti APRS ascoltati tramite i satelliti radioamatoriali.&lt;/p&gt;&lt;p&gt;Licenza: GNU General Public License, versione 3 o successiva. Selvane è fornito senza alcuna garanzia.&lt;/p&gt;&lt;p&gt;Sito: &lt;a href=&quot;%2&quot;&gt;%2&lt;/a&gt;&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Selvane %1&lt;/h3&gt;&lt;p&gt;Gateway for APRS packets heard through amateur-radio satellites.&lt;/p&gt;&lt;p&gt;Licence: GNU General Public License, version 3 or later. Selvane comes with absolutely no warranty.&lt;/p&gt;&lt;p&gt;Home page: &lt;a href=&quot;%2&quot;&gt;%2&lt;/a&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>STOP</source>
        <translation>STOP</translation>
    </message>
    <message>
        <source>START</source>
        <translation>START</translation>
    </message>
    <message>
        <source>nessun nominativo: esce %1</source>
        <translation>no call set: packets go out as %1</translation>
    </message>
</context>
<context>
    <name>selvane::SatellitesDialog</name>
    <message>
        <source>Satelliti</source>
        <translation>Satellites</translation>
    </message>
    <message>
        <source>Attivo</source>
        <translation>On</translation>
    </message>
    <message>
        <source>Nome</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Digipeater (CALL-* = ogni SSID)</source>
        <translation>Digipeaters (CALL-* = any SSID)</translation>
    </message>
    <message>
        <source>Alias di salita</source>
        <translation>Uplink aliases</translation>
    </message>
    <message>
        <source>Sale come</source>
        <translation>Goes up as</translation>
    </message>
    <message>
        <source>Altri nominativi</source>
        <translation>Other calls</translation>
    </message>
    <message>
        <source>Aggiungi</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Rimuovi</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Un pacchetto è inoltrato quando il primo digipeater è un satellite attivo che lo ha ripetuto (&quot;*&quot;), o quando lo ha inviato un satellite; sale quando è indirizzato via il nominativo del gateway seguito da un alias di salita.</source>
        <translation>A packet is sent on when its first digipeater is an enabled satellite that repeated it (&quot;*&quot;), or when a satellite sent it; it goes up when it is addressed via the gateway&apos;s call followed by an uplink alias.</translation>
    </message>
    <message>
        <source>Nessun satellite attivo: il gateway non inoltrerà nulla.</source>
        <translation>No satellite enabled: the gateway will send nothing on.</translation>
    </message>
    <message>
        <source>Ogni riga vuole un nome unico e almeno un digipeater; i nominativi sono lettere, cifre e &quot;-&quot; separati da virgole (CALL-* per ogni SSID).</source>
        <translation>Each row needs a unique name and at least one digipeater; calls are letters, digits and &quot;-&quot; separated by commas (CALL-* for any SSID).</translation>
    </message>
</context>
<context>
    <name>selvane::SelvaneApp</name>
    <message>
        <source>Log non scritto (disco pieno?): %1</source>
        <translation>Log not written (disk full?): %1</translation>
    </message>
    <message>
        <source>APRS-IS: %1, inviati %2, persi %3</source>
        <translation>APRS-IS: %1, sent %2, lost %3</translation>
    </message>
    <message>
        <source>nessun satellite abilitato: il gateway non inoltra nulla</source>
        <translation>no satellite enabled: the gateway sends nothing on</translation>
    </message>
</context>
<context>
    <name>selvane::TelemetryPlots</name>
    <message>
        <source>Safe mode</source>
        <translation>Safe mode</translation>
    </message>
    <message>
        <source>Batteria bassa</source>
        <translation>Battery low</translation>
    </message>
    <message>
        <source>Correnti dei pannelli solari</source>
        <translation>Solar panel currents</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperatures</translation>
    </message>
    <message>
        <source>Tensioni delle batterie</source>
        <translation>Battery voltages</translation>
    </message>
    <message>
        <source>Correnti di batteria e di carica</source>
        <translation>Battery and charge currents</translation>
    </message>
    <message>
        <source>Potenza del trasmettitore</source>
        <translation>Transmitter power</translation>
    </message>
    <message>
        <source>mA</source>
        <translation>mA</translation>
    </message>
    <message>
        <source>°C</source>
        <translation>°C</translation>
    </message>
    <message>
        <source>V</source>
        <translation>V</translation>
    </message>
    <message>
        <source>W</source>
        <translation>W</translation>
    </message>
</context>
<context>
    <name>selvane::TelemetryWindow</name>
    <message>
        <source>PCSAT Telemetry</source>
        <translation>PCSAT Telemetry</translation>
    </message>
    <message>
        <source>Side A</source>
        <translation>Side A</translation>
    </message>
    <message>
        <source>Lato A PCSAT. Formato: Gruppo - Ora - Dati.</source>
        <translation>PCSAT side A. Format: group - time - data.</translation>
    </message>
    <message>
        <source>Side B</source>
        <translation>Side B</translation>
    </message>
    <message>
        <source>Lato B PCSAT. Formato: Gruppo - Ora - Dati.</source>
        <translation>PCSAT side B. Format: group - time - data.</translation>
    </message>
    <message>
        <source>Panels Current</source>
        <translation>Panels Current</translation>
    </message>
    <message>
        <source>Corrente in mA fornita dai 6 pannelli solari del PCSAT.</source>
        <translation>Current in mA from the 6 solar panels of PCSAT.</translation>
    </message>
    <message>
        <source>Liste</source>
        <translation>Lists</translation>
    </message>
    <message>
        <source>Grafici</source>
        <translation>Plots</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Hide</translation>
    </message>
    <message>
        <source>Nascondi finestra.</source>
        <translation>Hides the window.</translation>
    </message>
    <message>
        <source>Load Tlm</source>
        <translation>Load Tlm</translation>
    </message>
    <message>
        <source>Carica i dati storici di telemetria del PCSAT.</source>
        <translation>Loads the PCSAT telemetry history.</translation>
    </message>
</context>
<context>
    <name>selvaned</name>
    <message>
        <source>selvaned %1 avviato nella cartella %2</source>
        <translation>selvaned %1 started in the folder %2</translation>
    </message>
    <message>
        <source>fermato (%1)</source>
        <translation>stopped (%1)</translation>
    </message>
</context>
</TS>
