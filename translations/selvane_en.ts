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
    <name>EnginePorts</name>
    <message>
        <source> (non utilizzabile)</source>
        <translation> (not usable)</translation>
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
    <name>Settings</name>
    <message>
        <source>Via</source>
        <translation>Via</translation>
    </message>
    <message>
        <source>Call</source>
        <translation>Call</translation>
    </message>
    <message>
        <source>Sats</source>
        <translation>Sats</translation>
    </message>
    <message>
        <source>Out</source>
        <translation>Out</translation>
    </message>
    <message>
        <source>Dup</source>
        <translation>Dup</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>finestra principale: sinistra</source>
        <translation>main window: left</translation>
    </message>
    <message>
        <source>finestra principale: alto</source>
        <translation>main window: top</translation>
    </message>
    <message>
        <source>finestra principale: larghezza</source>
        <translation>main window: width</translation>
    </message>
    <message>
        <source>Logs</source>
        <translation>Logs</translation>
    </message>
    <message>
        <source>Show Tlm/Hide/Auto</source>
        <translation>Show Tlm/Hide/Auto</translation>
    </message>
    <message>
        <source>finestra telemetria: altezza</source>
        <translation>telemetry window: height</translation>
    </message>
    <message>
        <source>finestra telemetria: alto</source>
        <translation>telemetry window: top</translation>
    </message>
    <message>
        <source>finestra telemetria: sinistra</source>
        <translation>telemetry window: left</translation>
    </message>
    <message>
        <source>Gate to Out</source>
        <translation>Gate to Out</translation>
    </message>
    <message>
        <source>Gate to Sats</source>
        <translation>Gate to Sats</translation>
    </message>
    <message>
        <source>Gate Telemetry</source>
        <translation>Gate Telemetry</translation>
    </message>
    <message>
        <source>profilo motore</source>
        <translation>engine profile</translation>
    </message>
    <message>
        <source>Riconnetti automaticamente</source>
        <translation>Reconnect automatically</translation>
    </message>
    <message>
        <source>%1 non è un percorso via (nominativi di lettere, cifre e &quot;-&quot;, al massimo 9, separati da virgole)</source>
        <translation>%1 is not a via path (calls of letters, digits and &quot;-&quot;, at most 9, separated by commas)</translation>
    </message>
    <message>
        <source>%1 non è un nominativo (lettere, cifre e &quot;-&quot;, al massimo 9)</source>
        <translation>%1 is not a call (letters, digits and &quot;-&quot;, at most 9)</translation>
    </message>
    <message>
        <source>%1 non è un elenco di porte (cifre e virgole)</source>
        <translation>%1 is not a port list (digits and commas)</translation>
    </message>
    <message>
        <source>%1 non è un numero intero di secondi da 0 a 32767</source>
        <translation>%1 is not a whole number of seconds from 0 to 32767</translation>
    </message>
    <message>
        <source>%1 non è un nome di host o un indirizzo IP</source>
        <translation>%1 is not a host name or an IP address</translation>
    </message>
    <message>
        <source>%1 non è un numero intero da -32768 a 32767</source>
        <translation>%1 is not a whole number from -32768 to 32767</translation>
    </message>
    <message>
        <source>%1 non è 0 o 1</source>
        <translation>%1 is not 0 or 1</translation>
    </message>
    <message>
        <source>%1 non è 0, 1 o 2</source>
        <translation>%1 is not 0, 1 or 2</translation>
    </message>
    <message>
        <source>%1 non è 0, 1, 2 o 3</source>
        <translation>%1 is not 0, 1, 2 or 3</translation>
    </message>
    <message>
        <source>%1 non è un numero</source>
        <translation>%1 is not a number</translation>
    </message>
    <message>
        <source>%1 contiene un carattere di controllo</source>
        <translation>%1 holds a control character</translation>
    </message>
    <message>
        <source>riga %1, campo %2: %3</source>
        <translation>line %1, field %2: %3</translation>
    </message>
    <message>
        <source>riga %1, campo %2 (%3): %4</source>
        <translation>line %1, field %2 (%3): %4</translation>
    </message>
    <message>
        <source>virgolette aperte e mai chiuse</source>
        <translation>a quote opened and never closed</translation>
    </message>
    <message>
        <source>c&apos;è %1 dopo le virgolette di chiusura</source>
        <translation>there is %1 after the closing quote</translation>
    </message>
    <message>
        <source>manca: il record finisce dopo %1 campi, ne servono almeno 16</source>
        <translation>missing: the record ends after %1 fields, at least 16 are needed</translation>
    </message>
    <message>
        <source>di troppo: un record ha al massimo 19 campi</source>
        <translation>one too many: a record has at most 19 fields</translation>
    </message>
    <message>
        <source>%1 non c&apos;è</source>
        <translation>%1 is not there</translation>
    </message>
    <message>
        <source>%1 non c&apos;è e non può essere creato: %2</source>
        <translation>%1 is not there and cannot be created: %2</translation>
    </message>
    <message>
        <source>%1 non c&apos;era: creato con le impostazioni predefinite</source>
        <translation>%1 was not there: created with the default settings</translation>
    </message>
    <message>
        <source>%1 danneggiato, %2</source>
        <translation>%1 damaged, %2</translation>
    </message>
    <message>
        <source>&apos;%1&apos; non è NOME=VALORE; i nomi sono: %2</source>
        <translation>&apos;%1&apos; is not NAME=VALUE; the names are: %2</translation>
    </message>
    <message>
        <source>%1: campo %2 (%3): %4</source>
        <translation>%1: field %2 (%3): %4</translation>
    </message>
    <message>
        <source>La finestra di Selvane scrive %1 quando si chiude: chiuderla prima di usare --set.</source>
        <translation>The Selvane window writes %1 when it closes: close it before using --set.</translation>
    </message>
    <message>
        <source>%1 resta danneggiato, %2: non viene scritto</source>
        <translation>%1 stays damaged, %2: not written</translation>
    </message>
    <message>
        <source>%1 scritto.</source>
        <translation>%1 written.</translation>
    </message>
    <message>
        <source>selvaned (processo %1) lavora in questa cartella: applica le modifiche quando riceve SIGHUP (systemctl reload selvaned).</source>
        <translation>selvaned (process %1) works in this folder: it applies the changes when it receives SIGHUP (systemctl reload selvaned).</translation>
    </message>
    <message>
        <source>%1 non c&apos;è: questi sono i valori predefiniti.</source>
        <translation>%1 is not there: these are the default values.</translation>
    </message>
    <message>
        <source>la cartella %1 non esiste</source>
        <translation>the folder %1 does not exist</translation>
    </message>
    <message>
        <source>%1: %2
Selvane parte con le impostazioni predefinite e all&apos;uscita non scrive questo file.</source>
        <translation>%1: %2
Selvane starts with the default settings and does not write this file at exit.</translation>
    </message>
    <message>
        <source>danneggiato, e nessuna copia può esserne fatta accanto</source>
        <translation>damaged, and no copy of it can be made beside it</translation>
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
    <message>
        <source>%1, riga %2: %3</source>
        <translation>%1, line %2: %3</translation>
    </message>
    <message>
        <source>kiss-tcp senza &quot;address&quot;: vale agw</source>
        <translation>kiss-tcp without &quot;address&quot;: agw is used</translation>
    </message>
    <message>
        <source>kiss-serial senza &quot;device&quot;: vale agw</source>
        <translation>kiss-serial without &quot;device&quot;: agw is used</translation>
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
    <name>selvane</name>
    <message>
        <source>Inoltra i pacchetti APRS uditi attraverso i satelliti radioamatoriali fra un motore
compatibile AGW Packet Engine o un TNC KISS e la rete radio locale.
Selvane.ini, selvane.conf e Logs/ stanno nella cartella di lavoro, o nella
cartella indicata da --dir o --user-folder.</source>
        <translation>Gates APRS packets heard through amateur-radio satellites between an AGW Packet
Engine compatible engine or a KISS TNC and the local radio network.
Selvane.ini, selvane.conf and Logs/ are kept in the working directory, or in the
folder named by --dir or --user-folder.</translation>
    </message>
    <message>
        <source>Argomento inatteso &apos;%1&apos;.</source>
        <translation>Unexpected argument &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>Porta del motore non valida: %1.</source>
        <translation>Bad engine port: %1.</translation>
    </message>
    <message>
        <source>--dir e --user-folder non si usano insieme.</source>
        <translation>--dir and --user-folder cannot be used together.</translation>
    </message>
    <message>
        <source>--dir vuole una cartella.</source>
        <translation>--dir needs a folder.</translation>
    </message>
    <message>
        <source>nessuna cartella personale per la cartella Selvane; usare --dir.</source>
        <translation>no home folder for the Selvane folder; use --dir.</translation>
    </message>
    <message>
        <source>%1 non è una cartella.</source>
        <translation>%1 is not a folder.</translation>
    </message>
    <message>
        <source>impossibile creare la cartella %1.</source>
        <translation>cannot create the folder %1.</translation>
    </message>
    <message>
        <source>impossibile lavorare nella cartella %1.</source>
        <translation>cannot work in the folder %1.</translation>
    </message>
    <message>
        <source>Le opzioni: selvane --help</source>
        <translation>The options: selvane --help</translation>
    </message>
    <message>
        <source>Mostra queste opzioni ed esce.</source>
        <translation>Show these options and exit.</translation>
    </message>
    <message>
        <source>Mostra la versione ed esce.</source>
        <translation>Show the version and exit.</translation>
    </message>
    <message>
        <source>Tiene Selvane.ini e Logs/ in DIR (creata se manca).</source>
        <translation>Keep Selvane.ini and Logs/ in DIR (created if missing).</translation>
    </message>
    <message>
        <source>Tiene Selvane.ini e Logs/ in ~/Selvane (creata se manca), come la voce del menu.</source>
        <translation>Keep Selvane.ini and Logs/ in ~/Selvane (created if missing), as the menu entry does.</translation>
    </message>
    <message>
        <source>Porta TCP del server AGW del motore (predefinita 8000; l&apos;host è la casella IP).</source>
        <translation>TCP port of the engine&apos;s AGW server (default 8000; the host is the IP box).</translation>
    </message>
</context>
<context>
    <name>selvane::AgwLink</name>
    <message>
        <source>Connessione ad AGW Packet Engine chiusa</source>
        <translation>Connection to the AGW Packet Engine closed</translation>
    </message>
    <message>
        <source>nessuna risposta del motore</source>
        <translation>no reply from the engine</translation>
    </message>
    <message>
        <source>Porta %1 (Sats/Out) non utilizzabile in AGWPE: nulla viene trasmesso su di essa</source>
        <translation>Port %1 (Sats/Out) not usable in AGWPE: nothing is transmitted on it</translation>
    </message>
    <message>
        <source>Porte %1 (Sats/Out) non utilizzabili in AGWPE: nulla viene trasmesso su di esse</source>
        <translation>Ports %1 (Sats/Out) not usable in AGWPE: nothing is transmitted on them</translation>
    </message>
    <message>
        <source>Il motore non trasmette i pacchetti inviati con &quot;V&quot;: scegliere il profilo &quot;frame grezzi in entrambe le direzioni&quot;</source>
        <translation>The engine does not transmit the packets sent with &quot;V&quot;: choose the profile &quot;raw frames both ways&quot;</translation>
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
    <message>
        <source>login in uso da un altro client</source>
        <translation>login in use by another client</translation>
    </message>
    <message>
        <source>nessuna risposta all&apos;accesso entro %1 s</source>
        <translation>no login reply within %1 s</translation>
    </message>
    <message>
        <source>il server non legge nulla da %1 s</source>
        <translation>the server has read nothing for %1 s</translation>
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
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>nessuna attesa</source>
        <translation>no wait</translation>
    </message>
    <message>
        <source>Un pacchetto di una stazione udito direttamente attende la copia ripetuta dal satellite, che va su al suo posto: i server tengono solo la prima copia.</source>
        <translation>A station&apos;s packet heard directly waits for the copy the satellite repeats, which goes up in its place: the servers keep only the first copy.</translation>
    </message>
    <message>
        <source>Attesa della copia del satellite</source>
        <translation>Wait for the satellite&apos;s copy</translation>
    </message>
    <message>
        <source>Attesa della copia del satellite: %1 in attesa, %2 caricati dopo l&apos;attesa, %3 sostituiti dalla copia del satellite</source>
        <translation>Wait for the satellite&apos;s copy: %1 waiting, %2 uploaded after the wait, %3 superseded by the satellite&apos;s copy</translation>
    </message>
    <message>
        <source>Il nominativo del gateway %1 non è valido per APRS-IS: scrivere qui il nominativo di accesso.</source>
        <translation>The gateway call %1 is not valid for APRS-IS: write the login call here.</translation>
    </message>
    <message>
        <source>Il passcode va da -1 a 32767.</source>
        <translation>The passcode goes from -1 to 32767.</translation>
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
    <name>selvane::Dispatcher</name>
    <message>
        <source>Porte Radio di AGWPE: %1</source>
        <translation>AGWPE radio ports: %1</translation>
    </message>
    <message>
        <source>Gateway connesso a AGWPE v%1.%2</source>
        <translation>Gateway connected to AGWPE v%1.%2</translation>
    </message>
</context>
<context>
    <name>selvane::EngineConfig</name>
    <message>
        <source>%1: dopo %2 ci vuole HOST:PORTA</source>
        <translation>%1: HOST:PORT is needed after %2</translation>
    </message>
    <message>
        <source>%1: la velocità dopo @ deve essere un numero di bit al secondo</source>
        <translation>%1: the speed after @ must be a number of bits per second</translation>
    </message>
    <message>
        <source>%1: dopo kiss-serial: ci vuole un dispositivo</source>
        <translation>%1: a device is needed after kiss-serial:</translation>
    </message>
    <message>
        <source>%1: si attende agw://HOST:PORTA, kiss-tcp://HOST:PORTA o kiss-serial:DISPOSITIVO[@VELOCITÀ]</source>
        <translation>%1: expected agw://HOST:PORT, kiss-tcp://HOST:PORT or kiss-serial:DEVICE[@SPEED]</translation>
    </message>
</context>
<context>
    <name>selvane::EngineDialog</name>
    <message>
        <source>Motore</source>
        <translation>Engine</translation>
    </message>
    <message>
        <source>Porta TCP (host: campo IP)</source>
        <translation>TCP port (host: IP field)</translation>
    </message>
    <message>
        <source>Indirizzo (host:porta)</source>
        <translation>Address (host:port)</translation>
    </message>
    <message>
        <source>Dispositivo</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Velocità (bit/s)</source>
        <translation>Speed (bit/s)</translation>
    </message>
    <message>
        <source>Tipo</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>L&apos;indirizzo va scritto host:porta, per esempio localhost:8001.</source>
        <translation>The address is written host:port, for example localhost:8001.</translation>
    </message>
    <message>
        <source>Indicare il dispositivo seriale, per esempio /dev/ttyUSB0.</source>
        <translation>Give the serial device, for example /dev/ttyUSB0.</translation>
    </message>
    <message>
        <source>Indicare la velocità in bit/s, per esempio 9600.</source>
        <translation>Give the speed in bit/s, for example 9600.</translation>
    </message>
</context>
<context>
    <name>selvane::EngineLink</name>
    <message>
        <source>nessuna risposta in %1 s</source>
        <translation>no answer in %1 s</translation>
    </message>
    <message>
        <source>connessione a %1…</source>
        <translation>connecting to %1…</translation>
    </message>
    <message>
        <source>Collegamento con %1 perso: nuovo tentativo alle %2</source>
        <translation>Connection with %1 lost: next attempt at %2</translation>
    </message>
    <message>
        <source>flusso dal motore fuori passo</source>
        <translation>stream from the engine out of step</translation>
    </message>
    <message>
        <source>%1 non legge: pacchetti da trasmettere scartati</source>
        <translation>%1 does not read: packets to transmit dropped</translation>
    </message>
    <message>
        <source>%1 disabilitato</source>
        <translation>%1 disabled</translation>
    </message>
    <message>
        <source>%1 %2: impossibile connettersi, nuovo tentativo alle %3</source>
        <translation>%1 %2: cannot connect, next attempt at %3</translation>
    </message>
    <message>
        <source>%1 %2: %3, nuovo tentativo alle %4</source>
        <translation>%1 %2: %3, next attempt at %4</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 in riconnessione</source>
        <translation>%1 reconnecting</translation>
    </message>
    <message>
        <source>%1 abilitato</source>
        <translation>%1 enabled</translation>
    </message>
</context>
<context>
    <name>selvane::EngineProfile</name>
    <message>
        <source>Dire Wolf-compatibile</source>
        <translation>Dire Wolf compatible</translation>
    </message>
    <message>
        <source>frame grezzi in entrambe le direzioni</source>
        <translation>raw frames both ways</translation>
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
        <source>telemetria PCSAT: %1</source>
        <translation>PCSAT telemetry: %1</translation>
    </message>
    <message>
        <source>ATTENZIONE: %1</source>
        <translation>WARNING: %1</translation>
    </message>
    <message>
        <source>impossibile creare la cartella %1: log e storico telemetria non saranno scritti</source>
        <translation>cannot create the folder %1: logs and telemetry history will not be written</translation>
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
        <source>automatico</source>
        <translation>automatic</translation>
    </message>
    <message>
        <source>nessuno</source>
        <translation>none</translation>
    </message>
    <message>
        <source> (non %1: non utilizzabile in AGWPE)</source>
        <translation> (not %1: not usable in AGWPE)</translation>
    </message>
    <message>
        <source>impossibile connettersi a %1: %2</source>
        <translation>cannot connect to %1: %2</translation>
    </message>
    <message>
        <source>collegamento perso: %1</source>
        <translation>connection lost: %1</translation>
    </message>
    <message>
        <source>connesso a %1 (%2)</source>
        <translation>connected to %1 (%2)</translation>
    </message>
    <message>
        <source>motore: %1 %2</source>
        <translation>engine: %1 %2</translation>
    </message>
    <message>
        <source>nuovo tentativo tra %1 s</source>
        <translation>next attempt in %1 s</translation>
    </message>
    <message>
        <source>APRS-IS: non inviato (%1): %2</source>
        <translation>APRS-IS: not sent (%1): %2</translation>
    </message>
    <message>
        <source>APRS-IS &lt;- %1 (%2)</source>
        <translation>APRS-IS &lt;- %1 (%2)</translation>
    </message>
    <message>
        <source>APRS-IS: %1 (%2 s): %3</source>
        <translation>APRS-IS: %1 (%2 s): %3</translation>
    </message>
    <message>
        <source>APRS-IS: %1: %2</source>
        <translation>APRS-IS: %1: %2</translation>
    </message>
    <message>
        <source>APRS-IS: %1: %2&gt;%3%4:%5</source>
        <translation>APRS-IS: %1: %2&gt;%3%4:%5</translation>
    </message>
    <message>
        <source>APRS-IS &lt;- %1 (stazione)</source>
        <translation>APRS-IS &lt;- %1 (station)</translation>
    </message>
    <message>
        <source>APRS-IS: il server non legge: le righe vengono scartate e contate come perse</source>
        <translation>APRS-IS: the server does not read: lines are dropped and counted as missed</translation>
    </message>
    <message>
        <source>APRS-IS: il server legge di nuovo: %1 righe perse</source>
        <translation>APRS-IS: the server reads again: %1 lines missed</translation>
    </message>
    <message>
        <source>APRS-IS: %1 pacchetti in attesa della copia del satellite scartati, caricamento fermato</source>
        <translation>APRS-IS: %1 packets waiting for the satellite&apos;s copy dropped, upload stopped</translation>
    </message>
    <message>
        <source>: selvaned non parte</source>
        <translation>: selvaned does not start</translation>
    </message>
    <message>
        <source>impostazioni: </source>
        <translation>settings: </translation>
    </message>
    <message>
        <source>: restano le impostazioni in uso</source>
        <translation>: the settings in use stay</translation>
    </message>
    <message>
        <source>impostazioni rilette (SIGHUP): </source>
        <translation>settings read again (SIGHUP): </translation>
    </message>
    <message>
        <source>pagina di stato non aperta su %1: %2 (il gateway continua)</source>
        <translation>status page not opened on %1: %2 (the gateway goes on)</translation>
    </message>
    <message>
        <source>pagina di stato: http://%1/</source>
        <translation>status page: http://%1/</translation>
    </message>
    <message>
        <source>call=%1 via=%2 Sats=%3 Out=%4 duplicati=%5s motore=%6 %7 profilo=%8 GateToOut=%9 GateToSats=%10 GateTelemetry=%11 Logs=%12 satelliti=%13 salita=%14/min,%15/5min</source>
        <translation>call=%1 via=%2 Sats=%3 Out=%4 duplicates=%5s engine=%6 %7 profile=%8 GateToOut=%9 GateToSats=%10 GateTelemetry=%11 Logs=%12 satellites=%13 uplink=%14/min,%15/5min</translation>
    </message>
</context>
<context>
    <name>selvane::HeardHandler</name>
    <message>
        <source>%1 - %2</source>
        <translation>%1 - %2</translation>
    </message>
    <message>
        <source>ToSats/ToOut/Tot dal %1 %2 =%3/%4/%5</source>
        <translation>ToSats/ToOut/Tot since %1 %2 =%3/%4/%5</translation>
    </message>
    <message>
        <source> trattenuti %1</source>
        <translation> held %1</translation>
    </message>
</context>
<context>
    <name>selvane::KissLink</name>
    <message>
        <source>Gateway connesso al TNC KISS %1</source>
        <translation>Gateway connected to the KISS TNC %1</translation>
    </message>
    <message>
        <source>Connessione al TNC KISS chiusa</source>
        <translation>Connection to the KISS TNC closed</translation>
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
    <message>
        <source>Frame grezzi in entrambe le direzioni (&quot;K&quot;, senza &quot;V&quot;)</source>
        <translation>Raw frames both ways (&quot;K&quot;, no &quot;V&quot;)</translation>
    </message>
    <message>
        <source>Motore...</source>
        <translation>Engine...</translation>
    </message>
    <message>
        <source>AGW Packet Engine Information</source>
        <translation>AGW Packet Engine Information</translation>
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
    <message>
        <source>Selvane.ini danneggiato: conservato come %1, impostazioni predefinite</source>
        <translation>Selvane.ini damaged: kept as %1, default settings</translation>
    </message>
</context>
<context>
    <name>selvane::TcpTransport</name>
    <message>
        <source>il motore ha chiuso il collegamento</source>
        <translation>the engine closed the connection</translation>
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
    <name>selvane::UploadRules</name>
    <message>
        <source>caricato subito</source>
        <translation>uploaded at once</translation>
    </message>
    <message>
        <source>trattenuto in attesa della copia del satellite</source>
        <translation>held, waiting for the satellite&apos;s copy</translation>
    </message>
    <message>
        <source>sostituito dalla copia del satellite</source>
        <translation>superseded by the satellite&apos;s copy</translation>
    </message>
    <message>
        <source>caricato dopo l&apos;attesa</source>
        <translation>uploaded after the wait</translation>
    </message>
    <message>
        <source>non da una porta Sats</source>
        <translation>not from a Sats port</translation>
    </message>
    <message>
        <source>escluso, nominativo non valido per APRS-IS</source>
        <translation>excluded, a call APRS-IS cannot carry</translation>
    </message>
    <message>
        <source>escluso, il percorso lo vieta (TCPIP, TCPXX, NOGATE, RFONLY)</source>
        <translation>excluded, the path forbids it (TCPIP, TCPXX, NOGATE, RFONLY)</translation>
    </message>
    <message>
        <source>escluso, trasmesso da questo gateway</source>
        <translation>excluded, sent by this gateway</translation>
    </message>
    <message>
        <source>escluso, intestazione di terze parti illeggibile</source>
        <translation>excluded, unreadable third-party header</translation>
    </message>
    <message>
        <source>escluso, campo informazioni vuoto</source>
        <translation>excluded, empty information field</translation>
    </message>
    <message>
        <source>escluso, interrogazione generica</source>
        <translation>excluded, generic query</translation>
    </message>
    <message>
        <source>escluso, riga più lunga di %1 byte</source>
        <translation>excluded, line longer than %1 bytes</translation>
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
    <message>
        <source>la cartella %1 non esiste</source>
        <translation>the folder %1 does not exist</translation>
    </message>
    <message>
        <source>%1 non è una cartella</source>
        <translation>%1 is not a folder</translation>
    </message>
    <message>
        <source>nella cartella %1 non si può scrivere: %2</source>
        <translation>the folder %1 cannot be written: %2</translation>
    </message>
    <message>
        <source>Gateway di pacchetti satellitari senza finestre: inoltra i pacchetti APRS uditi attraverso
i satelliti fra le porte radio di un motore compatibile AGWPE (Dire Wolf, AGW Packet Engine)
o di un TNC KISS (via TCP o linea seriale), con le impostazioni di Selvane.ini e
selvane.conf e i log in Logs/ della sua cartella.</source>
        <translation>Satellite packet gateway without windows: gates APRS packets heard through the
satellites between the radio ports of an AGWPE-compatible engine (Dire Wolf, AGW
Packet Engine) or a KISS TNC (over TCP or a serial line), with the settings of
Selvane.ini and selvane.conf and the logs in Logs/ of its folder.</translation>
    </message>
    <message>
        <source>Lavora in DIR: DIR/Selvane.ini, DIR/Logs/ (predefinita: la cartella corrente).</source>
        <translation>Work in DIR: DIR/Selvane.ini, DIR/Logs/ (default: the current folder).</translation>
    </message>
    <message>
        <source>Un motore AGW sulla porta TCP N per questa esecuzione (l&apos;host è in Selvane.ini).</source>
        <translation>An AGW engine on TCP port N for this run (the host is in Selvane.ini).</translation>
    </message>
    <message>
        <source>Il motore per questa esecuzione, al posto della sezione [engine] di DIR/selvane.conf: agw://HOST:PORTA, kiss-tcp://HOST:PORTA o kiss-serial:DISPOSITIVO[@VELOCITÀ].</source>
        <translation>The engine for this run, over the [engine] section of DIR/selvane.conf: agw://HOST:PORT, kiss-tcp://HOST:PORT or kiss-serial:DEVICE[@SPEED].</translation>
    </message>
    <message>
        <source>Scrive NOME=VALORE in DIR/Selvane.ini, tenendo gli altri campi, ed esce (possono seguire altri NOME=VALORE). Nomi: via, call, sats, out, dup, address, logs, tlm-mode, gate-to-out, gate-to-sats, gate-telemetry, profile, reconnect; vedi selvaned(8).</source>
        <translation>Write NAME=VALUE into DIR/Selvane.ini, keeping the other fields, and exit (more NAME=VALUE may follow). Names: via, call, sats, out, dup, address, logs, tlm-mode, gate-to-out, gate-to-sats, gate-telemetry, profile, reconnect; see selvaned(8).</translation>
    </message>
    <message>
        <source>Stampa le impostazioni di DIR/Selvane.ini, un nome=valore per riga, ed esce.</source>
        <translation>Print the settings of DIR/Selvane.ini, one name=value a line, and exit.</translation>
    </message>
    <message>
        <source>%1 (vedi selvaned --help)</source>
        <translation>%1 (see selvaned --help)</translation>
    </message>
    <message>
        <source>argomento inatteso: %1 (vedi selvaned --help)</source>
        <translation>unexpected argument: %1 (see selvaned --help)</translation>
    </message>
    <message>
        <source>porta del motore non valida: %1</source>
        <translation>bad engine port: %1</translation>
    </message>
    <message>
        <source>--engine e --engine-port non si usano insieme (vedi selvaned --help)</source>
        <translation>--engine and --engine-port cannot be used together (see selvaned --help)</translation>
    </message>
</context>
</TS>
