// A Windows Forms program skinned by Kiv. Build with the binding:
//   csc /target:winexe /r:System.Windows.Forms.dll /r:System.Drawing.dll ..\KivApi.cs Program.cs
// and put KivAPI.dll (of the process's bitness) and default.kiv beside the program.
using System;
using System.Drawing;
using System.IO;
using System.Windows.Forms;
using Kiv;

namespace KivWinFormsSample
{
    internal static class Program
    {
        [STAThread]
        private static int Main(string[] args)
        {
            string skin = args.Length > 0 ? args[0]
                : Path.Combine(AppDomain.CurrentDomain.BaseDirectory, "default.kiv");

            // Before Application.Run creates the first window.
            KivApi.KivInitialize();
            KivApi.KivDotNETApp();
            if (KivApi.KivLoadSkin(skin))
            {
                KivApi.KivAddFilterForCaption("Open");
                KivApi.KivRun();
            }

            Application.EnableVisualStyles();
            Application.Run(new SampleForm());
            return 0;
        }
    }

    internal sealed class SampleForm : Form
    {
        public SampleForm()
        {
            Text = "Kiv sample (Windows Forms)";
            ClientSize = new Size(360, 200);
            // Buttons, check boxes, radio buttons, group boxes and labels are the
            // system's controls, and so skinned, only with FlatStyle.System:
            // with any other FlatStyle Windows Forms draws them itself.
            var check = new CheckBox { Text = "A check box", Location = new Point(16, 16), AutoSize = true,
                                       FlatStyle = FlatStyle.System, ThreeState = true };
            var radio = new RadioButton { Text = "A radio button", Location = new Point(180, 16), AutoSize = true,
                                          FlatStyle = FlatStyle.System, Checked = true };
            var edit = new TextBox { Text = "An edit box", Location = new Point(16, 48), Width = 200 };
            var progress = new ProgressBar { Location = new Point(16, 84), Width = 200, Value = 60 };
            var list = new ComboBox { Location = new Point(16, 116), Width = 200, DropDownStyle = ComboBoxStyle.DropDownList };
            list.Items.AddRange(new object[] { "A combo box", "Second" });
            list.SelectedIndex = 0;
            var label = new Label { Text = "A label", Location = new Point(16, 164), AutoSize = true,
                                    FlatStyle = FlatStyle.System };
            var close = new Button { Text = "Close", Location = new Point(264, 160), FlatStyle = FlatStyle.System };
            close.Click += (sender, e) => Close();
            Controls.AddRange(new Control[] { check, radio, edit, progress, list, label, close });
            AcceptButton = close;
        }
    }
}
